#pragma once

#include <QDBusConnection>
#include <QList>
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
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int timeout = 0;
    };

    // Takes the service's name and object on `bus`; false when it could not.
    bool serveOn(QDBusConnection bus);
    // The user clicks notice `id` (the action "default" is the notice itself).
    void invokeAction(uint id, const QString& action);

    QList<Call> calls;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout);

private:
    std::optional<QDBusConnection> m_bus;
};

} // namespace velmora::test
