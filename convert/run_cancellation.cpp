#include "convert/run_cancellation.h"

namespace velmora {

void RunCancellation::cancel() {
    if (!m_cancelled) {
        m_cancelled = true;
        emit cancelled();
    }
}

} // namespace velmora
