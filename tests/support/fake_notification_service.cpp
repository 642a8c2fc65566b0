#include "support/fake_notification_service.h"

#include <QDBusMessage>

namespace velmora::test {

namespace {

QString name() {
    return QStringLiteral("org.freedesktop.Notifications");
}

QString path() {
    return QStringLiteral("/org/freedesktop/Notifications");
}

} // namespace

bool FakeNotificationService::serveOn(QDBusConnection bus) {
    m_bus = bus;
    return bus.registerObject(path(), this, QDBusConnection::ExportAllSlots) &&
           bus.registerService(name());
}

uint FakeNotificationService::Notify(const QString& appName, uint replacesId, const QString& icon,
                                     const QString& summary, const QString& body,
                                     const QStringList& actions, const QVariantMap& hints,
                                     int timeout) {
    calls.append({appName, replacesId, icon, summary, body, actions, hints, timeout});
    return static_cast<uint>(calls.size());
}

void FakeNotificationService::invokeAction(uint id, const QString& action) {
    QDBusMessage signal =
        QDBusMessage::createSignal(path(), name(), QStringLiteral("ActionInvoked"));
    signal << id << action;
    m_bus->send(signal);
}

} // namespace velmora::test
