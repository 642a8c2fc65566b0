#include "app/desktop_services.h"

#include "app/dbus_desktop_notifier.h"
#include "app/dbus_launcher_progress.h"

#include <QDBusConnection>

namespace velmora {

// The notice after a long run and the bar on the dock's icon go through the
// session bus; without one, or without a desktop listening, they are simply
// not shown.
struct DesktopServices::Connected {
    Connected()
        : notifier(QDBusConnection::sessionBus()), launcher(QDBusConnection::sessionBus()) {}

    DBusDesktopNotifier notifier;
    DBusLauncherProgress launcher;
};

DesktopServices::DesktopServices() : m_connected(std::make_unique<Connected>()) {}

DesktopServices::~DesktopServices() = default;

DesktopHooks DesktopServices::hooks() const {
    DesktopHooks hooks;
    hooks.notifier = &m_connected->notifier;
    hooks.launcher = &m_connected->launcher;
    return hooks;
}

} // namespace velmora
