#include "convert/sandbox.h"

namespace velmora {

Sandbox Sandbox::none(const QString& ghostscript, const QString& reason) {
    Sandbox sandbox;
    sandbox.m_ghostscript = ghostscript;
    sandbox.m_reason = reason;
    return sandbox;
}

} // namespace velmora
