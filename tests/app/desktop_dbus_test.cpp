// The notice and the dock's bar over a private D-Bus, with a stand-in
// notification service and a listening dock.
#include "app/dbus_desktop_notifier.h"
#include "app/dbus_launcher_progress.h"
#include "app/window_fixture.h"
#include "support/fake_notification_service.h"
#include "support/launcher_listener.h"
#include "support/private_session_bus.h"
#include "support/test_files.h"

#include <QElapsedTimer>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 5000;

class DesktopBus : public test::WindowFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << "dbus-daemon did not start";
        ASSERT_TRUE(service.serveOn(bus.connect(QStringLiteral("service"))));
        ASSERT_TRUE(dock.listenOn(bus.connect(QStringLiteral("dock"))));
    }

    test::PrivateSessionBus bus;
    test::FakeNotificationService service;
    test::LauncherListener dock;
    DBusDesktopNotifier notifier{bus.connect(QStringLiteral("velmora"))};
    DBusLauncherProgress progress{bus.connect(QStringLiteral("velmora"))};
    QTemporaryDir folder;
};

struct SummaryRow {
    const char* reason;
    int converted;
    int pages;
    int failed;
    const char* body;
};

class NoticeText : public DesktopBus, public ::testing::WithParamInterface<SummaryRow> {};

TEST_P(NoticeText, ReachesTheServiceWithoutTheWindowWaiting) {
    const SummaryRow& row = GetParam();
    RunSummary summary;
    summary.files.resize(row.converted + row.failed);
    summary.files.front().delivered = row.pages;
    for (qsizetype i = row.converted; i < summary.files.size(); ++i) {
        summary.files[i].failure = FileFailure::of(FileFailure::Kind::EmptyFile);
    }
    std::chrono::steady_clock::time_point now;
    RunEndNotice notice(
        &notifier, [&] { return now += 10s; }, [] { return false; }, {});
    notice.runStarted();
    QElapsedTimer took;
    took.start();
    notice.runEnded(summary);
    // The stand-in answers from this thread's event loop: a call that
    // waited for the answer would wait until D-Bus gives up.
    EXPECT_LT(took.elapsed(), 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.calls.isEmpty(); }, kWaitMs));
    EXPECT_EQ(service.calls[0].summary, "Velmora");
    EXPECT_EQ(service.calls[0].body, QString::fromUtf8(row.body));
    EXPECT_EQ(service.calls[0].actions.value(0), "default") << "the notice itself is clickable";
    EXPECT_EQ(service.calls[0].hints.value("desktop-entry"), "app.velmora.Velmora");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoticeText,
    ::testing::Values(SummaryRow{"all converted", 8, 212, 0, "8 files converted, 212 pages"},
                      SummaryRow{"one of each, singular", 1, 1, 0, "1 file converted, 1 page"},
                      SummaryRow{"one failed", 7, 20, 1, "7 of 8 files converted; 1 failed"},
                      SummaryRow{"the only file failed", 0, 0, 1,
                                 "0 of 1 file converted; 1 failed"}));

TEST_F(DesktopBus, ALongRunsNoticeBringsTheWindowBackAndTheDocksBarComesAndGoes) {
    desktop.notifier = &notifier;
    desktop.launcher = &progress;
    runLength = 10s;
    convert(test::WriteFile(folder.filePath(QStringLiteral("a.ps")), test::SquarePages(2)));
    // The user has put the window away and works in another one.
    window->showMinimized();
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return elsewhere.isActiveWindow(); }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.calls.isEmpty(); }, kWaitMs));
    EXPECT_EQ(service.calls[0].body, "1 file converted, 2 pages");
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Done."});

    service.invokeAction(1, QStringLiteral("default"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isActiveWindow(); }, kWaitMs));
    EXPECT_FALSE(window->isMinimized());

    ASSERT_TRUE(QTest::qWaitFor([&] { return dock.updates.size() >= 2; }, kWaitMs));
    EXPECT_TRUE(dock.updates.front().barShown());
    EXPECT_FALSE(dock.updates.back().barShown()) << "cleared at the end";
    for (const test::LauncherListener::Update& update : dock.updates) {
        EXPECT_EQ(update.uri, "application://app.velmora.Velmora.desktop");
        EXPECT_EQ(update.path, DBusLauncherProgress::objectPath());
    }
}

TEST_F(DesktopBus, TheDocksBarChangesAFewTimesASecondAndGoesWithItsSender) {
    {
        DBusLauncherProgress bar(bus.connect(QStringLiteral("bar")));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000) {
            bar.show(clock.elapsed() / 1000.0);
            QTest::qWait(5);
        }
        bar.show(1);
        QTest::qWait(2 * DBusLauncherProgress::kPace.count());
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !dock.updates.isEmpty() && !dock.updates.back().barShown(); }, kWaitMs));
    const qsizetype changes = dock.updates.size() - 1;
    EXPECT_GE(changes, 3) << "it moved during the second";
    EXPECT_LE(changes, 6) << "one at once, then at most one a quarter second";
    EXPECT_EQ(dock.updates[changes - 1].properties.value("progress"), 1.0) << "the latest";
}

struct NoDesktopRow {
    const char* reason;
    bool bus;
};

class NoDesktop : public test::WindowFixture, public ::testing::WithParamInterface<NoDesktopRow> {};

TEST_P(NoDesktop, TheRunStillConvertsAndSaysDone) {
    test::PrivateSessionBus empty;
    const QDBusConnection connection =
        GetParam().bus ? empty.connect(QStringLiteral("alone"))
                       : QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                                       QStringLiteral("nowhere"));
    ASSERT_EQ(connection.isConnected(), GetParam().bus);
    DBusDesktopNotifier quiet(connection);
    DBusLauncherProgress noDock(connection);
    desktop.notifier = &quiet;
    desktop.launcher = &noDock;
    runLength = 10s;
    QTemporaryDir folder;
    convert(test::WriteFile(folder.filePath(QStringLiteral("a.ps")), test::SquarePages(1)));
    QTest::qWait(200); // time for an error to come back, were one shown
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Done."}) << "and no error box";
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(QStringLiteral("a-001.jpg"))));
}

INSTANTIATE_TEST_SUITE_P(Rows, NoDesktop,
                         ::testing::Values(NoDesktopRow{"a bus, but no service nor dock", true},
                                           NoDesktopRow{"no session bus at all", false}));

} // namespace
