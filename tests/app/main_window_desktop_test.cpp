// What the window asks of the desktop when a run ends: the "Done." box's
// "Open Folder" and the notice of a long run, through recorders.
#include "app/taskbar_progress.h"
#include "app/window_fixture.h"
#include "support/recording_taskbar_button.h"

using namespace velmora;
using namespace std::chrono_literals;

namespace {

class MainWindowDesktop : public test::WindowFixture {
protected:
    // A source that is not there converts at once, as one failed file.
    QString missing() const { return m_folders.filePath(QStringLiteral("missing.ps")); }
    QString folder(const QString& name) const {
        QDir(m_folders.path()).mkpath(name);
        return m_folders.filePath(name);
    }

private:
    QTemporaryDir m_folders;
};

struct DoneBoxRow {
    const char* reason;
    bool intoFolder;
    bool folderExists;
    Prompter::Answer answer;
    Prompter::Buttons buttons;
    bool opens;
};

class DoneBox : public MainWindowDesktop, public ::testing::WithParamInterface<DoneBoxRow> {};

TEST_P(DoneBox, OpensTheRunsOneFolderOnlyWhenAsked) {
    const DoneBoxRow& row = GetParam();
    const QString out = row.intoFolder ? folder(QStringLiteral("out")) : QString();
    prompter.answers = {row.answer};
    const QString into = out.isEmpty() ? out : out + (row.folderExists ? "/" : "/gone");
    // A folder typed during the run is for the next run.
    convert(missing(), into,
            [&] { control<QLineEdit>("Text1")->setText(folder(QStringLiteral("next"))); });
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].buttons, row.buttons);
    EXPECT_EQ(openedFolders, row.opens ? QStringList{QDir(out).absolutePath()} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DoneBox,
    ::testing::Values(DoneBoxRow{"Open Folder opens where the pages went", true, true,
                                 Prompter::Answer::OpenFolder, Prompter::Buttons::OkOpenFolder,
                                 true},
                      DoneBoxRow{"OK, the default, only closes the box", true, true,
                                 Prompter::Answer::Ok, Prompter::Buttons::OkOpenFolder, false},
                      DoneBoxRow{"pages beside their sources may lie in many folders", false, true,
                                 Prompter::Answer::OpenFolder, Prompter::Buttons::Ok, false},
                      DoneBoxRow{"a missing folder stops the run before any page", true, false,
                                 Prompter::Answer::OpenFolder, Prompter::Buttons::Ok, false}));

struct NoticeRow {
    const char* reason;
    std::chrono::milliseconds runLength;
    bool active;
    bool stop;
    qsizetype notices;
};

class WhenTold : public MainWindowDesktop, public ::testing::WithParamInterface<NoticeRow> {};

TEST_P(WhenTold, OnlyALongRunThatEndsWhileTheUserIsElsewhere) {
    const NoticeRow& row = GetParam();
    runLength = row.runLength;
    windowActive = row.active;
    convert(missing(), {}, [&] {
        if (row.stop) {
            QObject::connect(&window->run(), &ConversionRun::started, &window->run(),
                             &ConversionRun::stop);
        }
    });
    EXPECT_TRUE(prompter.messageTexts().value(0).startsWith(row.stop ? "Stopped." : "Done."));
    ASSERT_EQ(notifier.notices.size(), row.notices);
    if (row.notices > 0) {
        EXPECT_EQ(notifier.notices[0].title, "Velmora");
        EXPECT_EQ(notifier.notices[0].body, "0 of 1 file converted; 1 failed");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WhenTold,
    ::testing::Values(NoticeRow{"under 10 s the user still watches", 9999ms, false, false, 0},
                      NoticeRow{"10 s or more, the user elsewhere", 10s, false, false, 1},
                      NoticeRow{"the user is at the window", 60s, true, false, 0},
                      NoticeRow{"the user stopped it from the window", 60s, false, true, 0}));

// "Open Folder" on a desktop that cannot open folders says so, whether the
// opener cannot start or ends with a failure (xdg-open's status 3).
TEST_F(MainWindowDesktop, AFolderTheDesktopCannotOpenIsSaid) {
    const QString out = folder(QStringLiteral("out"));
    const struct Row {
        const char* opener;
        const char* why;
    } rows[] = {
        {"true", "the folder was opened: nothing to say"},
        {"/no/such/opener", "the opener cannot be started"},
        {"false", "the opener ends with a failure"},
    };
    QObject context;
    const QString said =
        QStringLiteral("Could not open the folder %1.").arg(QDir::toNativeSeparators(out));
    for (const Row& row : rows) {
        OpenFolderOrSayWhy(DesktopFolderOpener(QString::fromLatin1(row.opener)), prompter, &context,
                           out);
    }
    // The openers end in the order they started: once the last has spoken,
    // the first would have too.
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.boxes.size() >= 2; }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter.messageTexts(), (QStringList{said, said}));
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Exclamation);

    // And from the "Done." box, after it has closed.
    openerWorks = false;
    prompter.boxes.clear();
    prompter.answers = {Prompter::Answer::OpenFolder};
    convert(missing(), out + QLatin1Char('/'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.boxes.size() == 2; }, 5000));
    EXPECT_TRUE(prompter.boxes[0].text.startsWith(QStringLiteral("Done.")));
    EXPECT_EQ(prompter.boxes[1].text, said);
}

TEST_F(MainWindowDesktop, TheTaskbarButtonShowsAFailedFileUntilTheRunEnds) {
    test::RecordingTaskbarButton button;
    TaskbarProgress bar(button);
    desktop.launcher = &bar;
    convert(missing());
    EXPECT_EQ(button.calls.value(0), "Normal");
    EXPECT_TRUE(button.calls.contains("Error"));
    EXPECT_EQ(button.calls.value(button.calls.size() - 1), "None");
}

} // namespace
