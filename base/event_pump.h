#pragma once

namespace velmora {

// Lets pending window events run during long work on the one UI thread.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void letEventsRun() = 0;
};

} // namespace velmora
