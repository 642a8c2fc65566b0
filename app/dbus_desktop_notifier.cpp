#include "app/dbus_desktop_notifier.h"

#include "app/startup_helpers.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace velmora {

namespace {

QString notificationsInterface() {
    return QStringLiteral("org.freedesktop.Notifications");
}

// The notice stays as long as the desktop keeps notices by default.
constexpr int kDesktopsOwnTimeout = -1;
// The icon the package installs in the desktop's icon theme.
QString iconName() {
    return QStringLiteral("velmora");
}

} // namespace

QString DBusDesktopNotifier::serviceName() {
    return QStringLiteral("org.freedesktop.Notifications");
}

QString DBusDesktopNotifier::objectPath() {
    return QStringLiteral("/org/freedesktop/Notifications");
}

QString DBusDesktopNotifier::defaultAction() {
    return QStringLiteral("default");
}

DBusDesktopNotifier::DBusDesktopNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {
    if (!m_bus.isConnected()) {
        return;
    }
    m_bus.connect(serviceName(), objectPath(), notificationsInterface(),
                  QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
    m_bus.connect(serviceName(), objectPath(), notificationsInterface(),
                  QStringLiteral("NotificationClosed"), this, SLOT(notificationClosed(uint, uint)));
}

void DBusDesktopNotifier::notify(const QString& title, const QString& body,
                                 std::function<void()> clicked) {
    if (!m_bus.isConnected()) {
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName(), objectPath(), notificationsInterface(), QStringLiteral("Notify"));
    // The desktop entry lets the desktop show our name and icon and group
    // our notices; the action's label is what a desktop that lists actions
    // as buttons writes on it.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), DesktopEntryId()}};
    call << ProductName() << m_shownId << iconName() << title << body
         << QStringList{defaultAction(), QStringLiteral("Show ") + ProductName()} << hints
         << kDesktopsOwnTimeout;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, clicked = std::move(clicked)](QDBusPendingCallWatcher* answered) {
                answered->deleteLater();
                const QDBusPendingReply<uint> reply = *answered;
                // No service, or one that refused: there is no notice to click.
                if (reply.isError()) {
                    return;
                }
                m_shownId = reply.value();
                m_clicked = clicked;
            });
}

void DBusDesktopNotifier::actionInvoked(uint id, const QString& action) {
    // Other programs' notices, and the other actions of ours, are not ours
    // to answer.
    if (id == 0 || id != m_shownId || action != defaultAction() || !m_clicked) {
        return;
    }
    m_clicked();
}

void DBusDesktopNotifier::notificationClosed(uint id, uint /*reason*/) {
    if (id != 0 && id == m_shownId) {
        m_shownId = 0;
        m_clicked = {};
    }
}

} // namespace velmora
