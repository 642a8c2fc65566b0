#pragma once

#include "base/event_pump.h"

#include <QCoreApplication>

#include <functional>

namespace velmora::test {

// An EventPump for tests: counts the yields and runs the hook at each, with
// the yield's number (from 1). With runQtEvents it also lets Qt's events run,
// as the real pump does, for tests with widgets.
class FakeEventPump final : public EventPump {
public:
    explicit FakeEventPump(bool runQtEvents = false) : m_runQtEvents(runQtEvents) {}

    void letEventsRun() override {
        ++calls;
        if (hook) {
            hook(calls);
        }
        if (m_runQtEvents) {
            QCoreApplication::processEvents();
        }
    }

    int calls = 0;
    std::function<void(int call)> hook;

private:
    bool m_runQtEvents;
};

} // namespace velmora::test
