#include "support/fake_event_pump.h"

#include <QCoreApplication>

namespace velmora::test {

void FakeEventPump::letEventsRun() {
    ++calls;
    if (hook) {
        hook(calls);
    }
    if (m_runQtEvents) {
        QCoreApplication::processEvents();
    }
}

} // namespace velmora::test
