// The notice and the dock's bar over a real D-Bus: a private bus, a stand-in
// notification service and a listening dock.
#include "app/dbus_desktop_notifier.h"
#include "app/dbus_launcher_progress.h"
#include "app/window_fixture.h"
#include "support/fake_notification_service.h"
#include "support/launcher_listener.h"
#include "support/private_session_bus.h"
#include "support/test_files.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

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
    // Converts a document of two pages beside it, with `desktop` as it is.
    void convertTwoPages() {
        const QString source =
            test::WriteFile(m_folder.filePath(QStringLiteral("a.ps")), test::SquarePages(2));
        open().fileList().append(source);
        control<QRadioButton>("Option2")->setChecked(true);
        QSignalSpy finished(&window->run(), &ConversionRun::finished);
        QTest::mouseClick(control<QPushButton>("PushButton2"), Qt::LeftButton);
        ASSERT_TRUE(finished.wait(60000));
    }
    bool visible(const test::LauncherListener::Update& update) const {
        return update.properties.value(QStringLiteral("progress-visible")).toBool();
    }

    test::PrivateSessionBus bus;
    test::FakeNotificationService service;
    test::LauncherListener dock;
    DBusDesktopNotifier notifier{bus.connect(QStringLiteral("velmora"))};
    DBusLauncherProgress progress{bus.connect(QStringLiteral("velmora"))};

private:
    QTemporaryDir m_folder;
};

struct SummaryRow {
    const char* reason;
    int converted;
    int pages;
    int failed;
    const char* body;
};

class NoticeText : public DesktopBus, public ::testing::WithParamInterface<SummaryRow> {};

TEST_P(NoticeText, ReachesTheServiceAtOnce) {
    const SummaryRow& row = GetParam();
    RunSummary summary;
    for (int i = 0; i < row.converted + row.failed; ++i) {
        FileOutcome file;
        file.delivered = i == 0 ? row.pages : 0;
        if (i >= row.converted) {
            file.failure = FileFailure::of(FileFailure::Kind::EmptyFile);
        }
        summary.files.append(file);
    }
    std::chrono::steady_clock::time_point now;
    RunEndNotice notice(
        &notifier, [&] { return now += 10s; }, [] { return false; }, {});
    notice.runStarted();
    QElapsedTimer took;
    took.start();
    notice.runEnded(summary);
    EXPECT_LT(took.elapsed(), 1000) << "the window never waits for the service";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.calls.isEmpty(); }, kWaitMs));
    const test::FakeNotificationService::Call& call = service.calls.front();
    EXPECT_EQ(call.summary, "Velmora");
    EXPECT_EQ(call.body, QString::fromUtf8(row.body));
    EXPECT_EQ(call.appName, "Velmora");
    EXPECT_EQ(call.actions.value(0), "default") << "the notice itself can be clicked";
    EXPECT_EQ(call.hints.value(QStringLiteral("desktop-entry")), "app.velmora.Velmora");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NoticeText,
    ::testing::Values(SummaryRow{"all converted", 8, 212, 0, "8 files converted, 212 pages"},
                      SummaryRow{"one of each, singular", 1, 1, 0, "1 file converted, 1 page"},
                      SummaryRow{"one failed", 7, 20, 1, "7 of 8 files converted; 1 failed"},
                      SummaryRow{"the only file failed", 0, 0, 1,
                                 "0 of 1 file converted; 1 failed"}));

struct ClickRow {
    const char* reason;
    uint id;
    const char* action;
    int clicks;
};

class NoticeClick : public DesktopBus, public ::testing::WithParamInterface<ClickRow> {};

TEST_P(NoticeClick, AnswersOnlyItsOwnNoticesDefaultAction) {
    int clicks = 0;
    notifier.notify(QStringLiteral("Velmora"), QStringLiteral("done"), [&] { ++clicks; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.calls.isEmpty(); }, kWaitMs));
    service.invokeAction(GetParam().id, QString::fromUtf8(GetParam().action));
    // Signals from one sender keep their order: once this one is in, so is
    // the row's.
    service.invokeAction(1, DBusDesktopNotifier::defaultAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicks > 0; }, kWaitMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1 + GetParam().clicks);
}

INSTANTIATE_TEST_SUITE_P(Rows, NoticeClick,
                         ::testing::Values(ClickRow{"our notice clicked", 1, "default", 1},
                                           ClickRow{"another program's notice", 2, "default", 0},
                                           ClickRow{"another action of ours", 1, "later", 0}));

TEST_F(DesktopBus, ALongRunsNoticeBringsTheWindowBackAndTheDocksBarGoes) {
    desktop.notifier = &notifier;
    desktop.launcher = &progress;
    runLength = 10s;
    convertTwoPages();
    // The user has gone to another window and put ours away.
    window->showMinimized();
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return elsewhere.isActiveWindow(); }, kWaitMs));
    ASSERT_TRUE(window->isMinimized());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.calls.isEmpty(); }, kWaitMs));
    EXPECT_EQ(service.calls.front().body, "1 file converted, 2 pages");
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Done."});

    service.invokeAction(1, DBusDesktopNotifier::defaultAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->isActiveWindow(); }, kWaitMs));
    EXPECT_FALSE(window->isMinimized());

    ASSERT_TRUE(QTest::qWaitFor([&] { return dock.updates.size() >= 2; }, kWaitMs));
    EXPECT_TRUE(visible(dock.updates.front()));
    EXPECT_FALSE(visible(dock.updates.back())) << "cleared at the end";
    for (const test::LauncherListener::Update& update : dock.updates) {
        EXPECT_EQ(update.uri, "application://app.velmora.Velmora.desktop");
        EXPECT_EQ(update.path, DBusLauncherProgress::objectPath());
    }
}

TEST_F(DesktopBus, TheDocksBarChangesAFewTimesASecondAndIsClearedWhenItGoes) {
    {
        DBusLauncherProgress shortLived(bus.connect(QStringLiteral("short")));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000) {
            shortLived.show(clock.elapsed() / 1000.0);
            QTest::qWait(5);
        }
        shortLived.show(1);
        QTest::qWait(2 * DBusLauncherProgress::kPace.count());
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !dock.updates.isEmpty() && !visible(dock.updates.back()); }, kWaitMs));
    const qsizetype updates = dock.updates.size() - 1;
    EXPECT_GE(updates, 3) << "it moved during the second";
    EXPECT_LE(updates, 6) << "at most one change a quarter second, and the last";
    EXPECT_EQ(dock.updates[updates - 1].properties.value(QStringLiteral("progress")), 1.0);
    EXPECT_FALSE(visible(dock.updates.back())) << "no stale bar once its sender is gone";
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
    open().fileList().append(
        test::WriteFile(folder.filePath(QStringLiteral("a.ps")), test::SquarePages(1)));
    control<QRadioButton>("Option2")->setChecked(true);
    QSignalSpy finished(&window->run(), &ConversionRun::finished);
    QTest::mouseClick(control<QPushButton>("PushButton2"), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(60000));
    QTest::qWait(200);
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Done."}) << "and no error box";
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(QStringLiteral("a-001.jpg"))));
}

INSTANTIATE_TEST_SUITE_P(Rows, NoDesktop,
                         ::testing::Values(NoDesktopRow{"a bus, but no service nor dock", true},
                                           NoDesktopRow{"no session bus at all", false}));

} // namespace
