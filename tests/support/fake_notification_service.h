#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace velmora::test {

// The desktop's notification service as far as Velmora uses it: it keeps
// every Notify call, numbers the notices from 1, and clicks them on demand.
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call {
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };

    bool serveOn(QDBusConnection bus) {
        m_bus = bus;
        return bus.registerObject(path(), this, QDBusConnection::ExportAllSlots) &&
               bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    // The user clicks notice `id` ("default": the notice itself).
    void invokeAction(uint id, const QString& action) {
        QDBusMessage signal = QDBusMessage::createSignal(
            path(), QStringLiteral("org.freedesktop.Notifications"), "ActionInvoked");
        m_bus->send(signal << id << action);
    }

    QList<Call> calls;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap& hints, int) {
        calls.append({summary, body, actions, hints});
        return static_cast<uint>(calls.size());
    }

private:
    static QString path() { return QStringLiteral("/org/freedesktop/Notifications"); }

    std::optional<QDBusConnection> m_bus;
};

} // namespace velmora::test
