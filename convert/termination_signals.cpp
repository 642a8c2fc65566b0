#include "convert/termination_signals.h"

namespace velmora {

void TerminationSignals::deliver(int signalNumber) {
    m_lastSignal = signalNumber;
    emit received(signalNumber);
}

} // namespace velmora
