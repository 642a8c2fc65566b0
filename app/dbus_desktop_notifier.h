// Desktop notices through the freedesktop notification service on D-Bus.
#pragma once

#include "app/desktop_notifier.h"

#include <QDBusConnection>
#include <QObject>

namespace velmora {

// Sends each notice with the service's Notify method and listens for the
// user's click on it (ActionInvoked with the default action). Every call is
// asynchronous: a bus without the service, or a service that is slow to
// answer, costs the window nothing, and no error ever reaches the user.
class DBusDesktopNotifier : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    // `bus` is the session bus in the program, a private one in tests; a
    // connection that is not connected shows nothing.
    explicit DBusDesktopNotifier(QDBusConnection bus, QObject* parent = nullptr);

    // Replaces this program's notice still on the screen, so runs do not
    // pile up notices.
    void notify(const QString& title, const QString& body, std::function<void()> clicked) override;

    static QString serviceName();
    static QString objectPath();
    // The action the service reports when the notice itself is clicked.
    static QString defaultAction();

private slots:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    // The service's number for our notice on the screen; 0: none.
    uint m_shownId = 0;
    std::function<void()> m_clicked;
};

} // namespace velmora
