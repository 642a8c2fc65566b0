#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace velmora::test {

// A D-Bus daemon of the test's own (dbus-daemon, session type, nothing
// started on demand), so tests never reach the user's desktop. Ended, with
// every connection made to it, when this goes.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Empty when the daemon could not be started.
    const QString& address() const { return m_address; }
    // A connection of its own to the bus, as another program would have.
    QDBusConnection connect(const QString& name);

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

} // namespace velmora::test
