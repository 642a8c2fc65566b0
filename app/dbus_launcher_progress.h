// A run's progress on the program's icon, told to docks over D-Bus.
#pragma once

#include "app/launcher_progress.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

namespace velmora {

// Sends the Update signal of com.canonical.Unity.LauncherEntry, which docks
// and task managers (Plasma, Dash to Dock, Plank, Cinnamon and others) turn
// into a bar over the program's icon. A signal waits for no one: without a
// bus or without a dock listening, nothing happens. The bar is cleared when
// the run ends, and when this goes, so a dock never keeps a stale bar.
class DBusLauncherProgress : public QObject, public LauncherProgress {
    Q_OBJECT
public:
    // A dock redraws its icon on every signal: changes that come quicker
    // than this are merged, the latest sent once the pause is over.
    static constexpr std::chrono::milliseconds kPace{250};

    explicit DBusLauncherProgress(QDBusConnection bus, QObject* parent = nullptr);
    ~DBusLauncherProgress() override;
    DBusLauncherProgress(const DBusLauncherProgress&) = delete;
    DBusLauncherProgress& operator=(const DBusLauncherProgress&) = delete;

    void show(double fraction) override;
    void hide() override;

    // Our own object path, from which the signals come.
    static QString objectPath();
    // How docks know which icon the bar belongs on: our desktop entry.
    static QString applicationUri();

private:
    void sendLatest();
    void send(const QVariantMap& properties);

    QDBusConnection m_bus;
    QTimer m_pace;
    double m_wanted = 0;
    // What docks were last told; nullopt: no bar.
    std::optional<double> m_sent;
};

} // namespace velmora
