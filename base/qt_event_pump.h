#pragma once

#include "base/event_pump.h"

namespace velmora {

// The usual pump: Qt's event processing of the current thread (nothing when
// there is no application object, as in plain unit tests).
class QtEventPump final : public EventPump {
public:
    void letEventsRun() override;
};

} // namespace velmora
