#pragma once

#include "base/event_pump.h"

#include <functional>

namespace velmora::test {

// Counts the yields and runs the hook at each, with the yield's number (from 1).
class FakeEventPump final : public EventPump {
public:
    void letEventsRun() override {
        ++calls;
        if (hook) {
            hook(calls);
        }
    }

    int calls = 0;
    std::function<void(int call)> hook;
};

} // namespace velmora::test
