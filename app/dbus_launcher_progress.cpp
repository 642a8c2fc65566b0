#include "app/dbus_launcher_progress.h"

#include "app/startup_helpers.h"

#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

QString progressKey() {
    return QStringLiteral("progress");
}

QString visibleKey() {
    return QStringLiteral("progress-visible");
}

} // namespace

DBusLauncherProgress::DBusLauncherProgress(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {
    m_pace.setSingleShot(true);
    m_pace.setInterval(kPace);
    connect(&m_pace, &QTimer::timeout, this, &DBusLauncherProgress::sendLatest);
}

DBusLauncherProgress::~DBusLauncherProgress() {
    hide();
}

QString DBusLauncherProgress::objectPath() {
    return QStringLiteral("/app/velmora/Velmora/LauncherEntry");
}

QString DBusLauncherProgress::applicationUri() {
    return QStringLiteral("application://") + DesktopEntryId() + QStringLiteral(".desktop");
}

void DBusLauncherProgress::show(double fraction) {
    if (!m_bus.isConnected()) {
        return;
    }
    m_wanted = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    // Within a pause, the timer sends whatever is latest when it ends.
    if (!m_pace.isActive()) {
        sendLatest();
    }
}

void DBusLauncherProgress::hide() {
    m_pace.stop();
    if (!m_sent) {
        return;
    }
    m_sent.reset();
    send({{visibleKey(), false}});
}

void DBusLauncherProgress::sendLatest() {
    if (m_sent == m_wanted) {
        return;
    }
    m_sent = m_wanted;
    send({{progressKey(), m_wanted}, {visibleKey(), true}});
    m_pace.start();
}

void DBusLauncherProgress::send(const QVariantMap& properties) {
    QDBusMessage update = QDBusMessage::createSignal(
        objectPath(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
        QStringLiteral("Update"));
    update << applicationUri() << properties;
    m_bus.send(update);
}

} // namespace velmora
