#include "convert/sandbox.h"

#include <QCoreApplication>

namespace velmora {

Sandbox Sandbox::none(const QString& ghostscript, const QString& reason) {
    Sandbox sandbox;
    sandbox.m_ghostscript = ghostscript;
    sandbox.m_reason = reason;
    return sandbox;
}

Sandbox Sandbox::confined(const QString& bwrap, const QString& ghostscript) {
    Sandbox sandbox;
    sandbox.m_bwrap = bwrap;
    sandbox.m_ghostscript = ghostscript;
    return sandbox;
}

SandboxProbe& SandboxProbe::shared() {
    // Owned by the application, so it goes before Qt does; a later
    // application (as in tests) gets a probe of its own.
    static QPointer<SandboxProbe> probe;
    if (!probe) {
        probe = new SandboxProbe(QCoreApplication::instance());
        probe->start();
    }
    return *probe;
}

SandboxProbe::SandboxProbe(QObject* parent) : QObject(parent) {}

SandboxProbe::~SandboxProbe() {
    // A program that ends before its probe has (nothing to convert, say)
    // takes it along.
    if (m_process.state() != QProcess::NotRunning) {
        m_process.blockSignals(true);
        m_process.kill();
        m_process.waitForFinished();
    }
}

Sandbox SandboxProbe::sandboxFor(const QString& ghostscript) const {
    return m_bwrap.isEmpty() ? Sandbox::none(ghostscript, m_reason)
                             : Sandbox::confined(m_bwrap, ghostscript);
}

void SandboxProbe::conclude(const QString& reason) {
    m_limit.stop();
    m_reason = reason;
    if (!reason.isEmpty()) {
        m_bwrap.clear();
    }
    m_done = true;
    emit done();
}

} // namespace velmora
