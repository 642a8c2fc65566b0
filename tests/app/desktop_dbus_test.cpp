// The run's notice and the dock's bar over a D-Bus daemon of the test's own,
// where the test plays the desktop: its notification service and a dock.
#include "app/dbus_desktop_notifier.h"
#include "app/dbus_launcher_progress.h"
#include "app/run_end_notice.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace velmora;

namespace {

constexpr int kWaitMs = 10000;

TEST(RunEndNotice, SaysHowManyFilesAndPages) {
    const struct {
        int converted, pages, failed;
        const char* body;
    } rows[] = {
        {8, 212, 0, "8 files converted, 212 pages"},
        {1, 1, 0, "1 file converted, 1 page"},
        {7, 20, 1, "7 of 8 files converted; 1 failed"},
    };
    for (const auto& row : rows) {
        RunSummary summary;
        summary.files.resize(row.converted + row.failed);
        summary.files.front().delivered = row.pages;
        for (qsizetype i = row.converted; i < summary.files.size(); ++i) {
            summary.files[i].failure = FileFailure::of(FileFailure::Kind::EmptyFile);
        }
        EXPECT_EQ(RunEndNotice::bodyText(summary), row.body);
    }
}

// A session bus of the test's own, which starts nothing on demand, so no
// test reaches the user's desktop; anyone may own any name there.
class PrivateBus {
public:
    PrivateBus() {
        const QString config = test::WriteFile(
            m_folder.filePath("bus.conf"),
            QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>"
                           "EXTERNAL</auth><policy context=\"default\"><allow "
                           "send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                           "<allow own=\"*\"/></policy></busconfig>")
                .arg(m_folder.path())
                .toUtf8());
        m_daemon.start("dbus-daemon", {"--config-file=" + config, "--print-address", "--nofork"});
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(kWaitMs)) {
        }
        address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : m_names) {
            QDBusConnection::disconnectFromBus(name);
        }
        m_daemon.kill();
        m_daemon.waitForFinished(kWaitMs);
    }
    // A connection of its own, as another program's. Qt keeps connections by
    // name for the whole process: the address in the name sets each bus's apart.
    QDBusConnection connect(const QString& name) {
        m_names.append(address + '#' + name);
        return QDBusConnection::connectToBus(address, m_names.last());
    }
    QString address; // empty when the daemon did not start

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QStringList m_names;
};

// The desktop as far as Velmora uses it: the notification service, which
// numbers its notices from 1, and a dock that keeps every bar it is shown.
class FakeDesktop : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit FakeDesktop(PrivateBus& bus) : service(bus.connect("service")) {
        served =
            service.registerObject(DBusDesktopNotifier::objectPath(), this,
                                   QDBusConnection::ExportAllSlots) &&
            service.registerService(DBusDesktopNotifier::serviceName()) &&
            bus.connect("dock").connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", this,
                                        SLOT(update(QString, QVariantMap, QDBusMessage)));
    }
    QDBusConnection service;
    bool served = false;
    QStringList notices; // "replaces|summary|body|first action|desktop entry"
    QStringList bars;    // the progress shown, or "hidden"

public slots:
    uint Notify(const QString&, uint replaces, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int) {
        notices.append(QStringList{QString::number(replaces), summary, body, actions.value(0),
                                   hints.value("desktop-entry").toString()}
                           .join('|'));
        return static_cast<uint>(notices.size());
    }

private slots:
    void update(const QString& uri, const QVariantMap& bar, const QDBusMessage& message) {
        EXPECT_EQ(uri, "application://app.velmora.Velmora.desktop");
        EXPECT_EQ(message.path(), DBusLauncherProgress::objectPath());
        bars.append(bar.value("progress-visible").toBool()
                        ? QString::number(bar.value("progress").toDouble())
                        : "hidden");
    }
};

bool answered(const DBusDesktopNotifier& notifier) {
    return QTest::qWaitFor(
        [&] { return notifier.findChildren<QDBusPendingCallWatcher*>().isEmpty(); }, kWaitMs);
}

// The notice goes out without waiting for the service and takes the place
// of our last one; a click on it calls the user back. The bar shows at once,
// merges changes that come quicker than a dock redraws, and goes with its
// sender. Without a desktop nothing is shown, nothing waits, nothing is said.
TEST(DesktopBus, TheNoticeAndTheDocksBarReachTheDesktopIfThereIsOne) {
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {
        GTEST_SKIP() << "needs dbus-daemon (Debian package dbus-daemon) for a private bus";
    }
    PrivateBus bus;
    PrivateBus empty;
    ASSERT_FALSE(bus.address.isEmpty() || empty.address.isEmpty()) << "dbus-daemon did not start";
    FakeDesktop desktop(bus);
    ASSERT_TRUE(desktop.served);
    DBusDesktopNotifier notifier(bus.connect("velmora"));
    int clicks = 0;
    for (const char* body : {"8 files converted, 212 pages", "1 file converted, 1 page"}) {
        const qsizetype before = desktop.notices.size();
        notifier.notify("Velmora", body, [&] { ++clicks; });
        EXPECT_EQ(desktop.notices.size(), before) << "notify() does not wait for the desktop";
        ASSERT_TRUE(answered(notifier)) << "the service's answer was taken";
    }
    EXPECT_EQ(desktop.notices, (QStringList{"0|Velmora|8 files converted, 212 pages|default|"
                                            "app.velmora.Velmora",
                                            "1|Velmora|1 file converted, 1 page|default|"
                                            "app.velmora.Velmora"}));
    QDBusMessage click = QDBusMessage::createSignal(
        DBusDesktopNotifier::objectPath(), DBusDesktopNotifier::serviceName(), "ActionInvoked");
    desktop.service.send(click << 2u << QString("default"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, kWaitMs));
    {
        DBusLauncherProgress bar(bus.connect("velmora"));
        for (const double fraction : {0.1, 0.2, 7.0}) {
            bar.show(fraction);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.bars.size() == 2; }, kWaitMs));
        bar.show(std::nan(""));
        ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.bars.size() == 3; }, kWaitMs));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.bars.size() == 4; }, kWaitMs));
    EXPECT_EQ(desktop.bars, (QStringList{"0.1", "1", "0", "hidden"})) << "the latest, bounded";

    for (const bool connected : {true, false}) {
        SCOPED_TRACE(connected ? "a bus without service nor dock" : "no session bus at all");
        const QDBusConnection alone =
            connected ? empty.connect("alone")
                      : QDBusConnection::connectToBus("unix:path=/nonexistent", "nowhere");
        ASSERT_EQ(alone.isConnected(), connected);
        DBusDesktopNotifier quiet(alone);
        quiet.notify("Velmora", "1 file converted, 1 page", [] { ADD_FAILURE(); });
        DBusLauncherProgress(alone).show(1);
        EXPECT_TRUE(answered(quiet)) << "the refusal was taken";
    }
}

} // namespace

#include "desktop_dbus_test.moc"
