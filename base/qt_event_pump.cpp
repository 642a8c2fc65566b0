#include "base/qt_event_pump.h"

#include <QCoreApplication>

namespace velmora {

void QtEventPump::letEventsRun() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

} // namespace velmora
