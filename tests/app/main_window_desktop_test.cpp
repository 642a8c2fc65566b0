// What the window asks of the desktop around a run: the "Done." box's "Open
// Folder", the notice of a long run's end and the bar on the dock's icon,
// through recorders.
#include "app/window_fixture.h"
#include "support/test_files.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

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
    // Starts a run of `source` into `into` (beside the source when empty);
    // `meanwhile` runs as soon as the click is over.
    void convert(const QString& source, const QString& into,
                 const std::function<void()>& meanwhile = {}) {
        open().fileList().append(source);
        control<QRadioButton>(into.isEmpty() ? "Option2" : "Option1")->setChecked(true);
        control<QLineEdit>("Text1")->setText(into);
        QSignalSpy finished(&window->run(), &ConversionRun::finished);
        QTest::mouseClick(control<QPushButton>("PushButton2"), Qt::LeftButton);
        if (meanwhile) {
            meanwhile();
        }
        ASSERT_TRUE(finished.wait(60000));
    }

private:
    QTemporaryDir m_folders;
};

struct DoneBoxRow {
    const char* reason;
    bool intoFolder;
    bool folderExists;
    Prompter::Buttons buttons;
};

class DoneBox : public MainWindowDesktop, public ::testing::WithParamInterface<DoneBoxRow> {};

TEST_P(DoneBox, OffersOpenFolderOnlyWhenThePagesWentToOneFolder) {
    const DoneBoxRow& row = GetParam();
    const QString into = row.intoFolder ? folder(QStringLiteral("out")) : QString();
    convert(missing(), row.folderExists ? into : into + QStringLiteral("/gone"));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].buttons, row.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DoneBox,
    ::testing::Values(DoneBoxRow{"the pages went to one folder", true, true,
                                 Prompter::Buttons::OkOpenFolder},
                      DoneBoxRow{"pages beside their sources may lie in many folders", false, true,
                                 Prompter::Buttons::Ok},
                      DoneBoxRow{"a missing folder stops the run before any page", true, false,
                                 Prompter::Buttons::Ok}));

struct AnswerRow {
    const char* reason;
    Prompter::Answer answer;
    bool opens;
};

class DoneBoxAnswer : public MainWindowDesktop, public ::testing::WithParamInterface<AnswerRow> {};

TEST_P(DoneBoxAnswer, OpensTheRunsFolderOnlyWhenAsked) {
    const QString out = folder(QStringLiteral("out"));
    prompter.answers = {GetParam().answer};
    // A folder typed during the run is for the next run.
    convert(missing(), out + QStringLiteral("/"),
            [&] { control<QLineEdit>("Text1")->setText(folder(QStringLiteral("next"))); });
    EXPECT_EQ(prompter.messageTexts().value(0).section(QLatin1Char('\n'), 0, 0), "Done.");
    EXPECT_EQ(openedFolders,
              GetParam().opens ? QStringList{QDir(out).absolutePath()} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Rows, DoneBoxAnswer,
                         ::testing::Values(AnswerRow{"Open Folder opens where the pages went",
                                                     Prompter::Answer::OpenFolder, true},
                                           AnswerRow{"OK, the default, only closes the box",
                                                     Prompter::Answer::Ok, false}));

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
    EXPECT_EQ(prompter.messageTexts().value(0).section(QLatin1Char('\n'), 0, 0),
              row.stop ? "Stopped." : "Done.");
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

TEST_F(MainWindowDesktop, TheDocksBarFollowsTheRunAndGoesAtItsEnd) {
    const QString source = test::WriteFile(folder(QStringLiteral("in")) + QStringLiteral("/a.ps"),
                                           test::SquarePages(2));
    convert(source, {});
    ASSERT_GE(launcher.calls.size(), 2U);
    EXPECT_EQ(launcher.calls.front(), 0.0) << "shown from the start";
    EXPECT_EQ(launcher.calls.back(), std::nullopt) << "hidden at the end";
    double before = 0;
    for (std::size_t i = 0; i + 1 < launcher.calls.size(); ++i) {
        ASSERT_TRUE(launcher.calls[i].has_value()) << "hidden only once, at the end";
        EXPECT_GE(*launcher.calls[i], before);
        EXPECT_LE(*launcher.calls[i], 1.0);
        before = *launcher.calls[i];
    }
    EXPECT_GT(before, 0.0) << "the bar moved";
}

} // namespace
