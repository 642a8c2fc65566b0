#include "support/private_session_bus.h"

#include "support/test_files.h"

namespace velmora::test {

namespace {

constexpr int kStartMs = 10000;
constexpr int kEndMs = 2000;

} // namespace

PrivateSessionBus::PrivateSessionBus() {
    // Anyone may own any name and send anything: the test plays every part.
    const QString config = WriteFile(m_folder.filePath(QStringLiteral("bus.conf")), R"(
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=)" + m_folder.path().toUtf8() + R"(</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)");
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
                    QStringLiteral("--nofork")});
    while (m_daemon.waitForReadyRead(kStartMs) && !m_daemon.canReadLine()) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    for (const QString& name : m_connections) {
        QDBusConnection::disconnectFromBus(name);
    }
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(kEndMs)) {
        m_daemon.kill();
        m_daemon.waitForFinished(kEndMs);
    }
}

QDBusConnection PrivateSessionBus::connect(const QString& name) {
    // Qt keeps connections by name for the whole process: the bus's own
    // address in it keeps one test's connection from being another's.
    const QString unique = m_address + QLatin1Char('#') + name;
    m_connections.append(unique);
    return QDBusConnection::connectToBus(m_address, unique);
}

} // namespace velmora::test
