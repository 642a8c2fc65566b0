// What "Start Converting To JPG" leads to in the window: the boxes at the
// end and the folder they open, the desktop's notice and the taskbar's bar,
// Esc, closing mid-run, and the pages of what Start was pressed with. A
// source that is not there ends a run at once without Ghostscript; only the
// pages need a real one.
#include "app/setting.h"
#include "app/taskbar_progress.h"
#include "app/window_fixture.h"
#include "convert/sandbox.h"
#include "support/recording_taskbar_button.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QSlider>
#include <QTimer>

using namespace velmora;
using namespace std::chrono_literals;
using Answer = Prompter::Answer;

namespace {

class MainWindowRun : public test::WindowFixture {
protected:
    // Work folders go into a folder of the test's own, which must be left
    // empty; a run's first file is under way when it has started.
    MainWindow& openWithWorkFolder() {
        tree.mkdirs({"work", "out"});
        open().run().settings().tempFolder = tree.path("work");
        if (!SandboxProbe::shared().isDone()) {
            EXPECT_TRUE(QSignalSpy(&SandboxProbe::shared(), &SandboxProbe::done).wait(60000));
        }
        return *window;
    }
    QStringList leftInWork() const {
        return QDir(tree.path("work")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    void escWhenStarted() {
        QObject::connect(&window->run(), &ConversionRun::started, window.get(), [this] {
            QTimer::singleShot(0, window.get(),
                               [this] { QTest::keyClick(window.get(), Qt::Key_Escape); });
        });
    }
    // Lists `sources`, sends the pages into `into` (beside the sources when
    // empty), presses Start, runs `meanwhile` right after, and waits for the
    // run's end and the boxes it opens.
    void convert(const QStringList& sources, const QString& into,
                 const std::function<void()>& meanwhile) {
        window->fileList().append(sources);
        control<QRadioButton>(into.isEmpty() ? "Option2" : "Option1")->setChecked(true);
        control<QLineEdit>("Text1")->setText(into);
        QSignalSpy finished(&window->run(), &ConversionRun::finished);
        click("PushButton2");
        meanwhile();
        ASSERT_TRUE(!finished.isEmpty() || finished.wait(120000));
        QCoreApplication::processEvents();
    }
    // Each message box as "its first line [its buttons]", and " !", " ?" or
    // " i" for its icon.
    QString boxesSeen() const {
        QStringList seen;
        for (const test::RecordingPrompter::Box& box : prompter.boxes) {
            using enum Prompter::Icon;
            seen.append(box.text.section('\n', 0, 0) +
                        (box.buttons == Prompter::Buttons::OkOpenFolder ? " [OK|Open Folder]"
                         : box.buttons == Prompter::Buttons::YesNo      ? " [Yes|No]"
                                                                        : " [OK]") +
                        (box.icon == Exclamation ? " !"
                         : box.icon == Question  ? " ?"
                         : box.icon == None      ? ""
                                                 : " i"));
        }
        return seen.join(" / ");
    }
    test::RecordingTaskbarButton button;
    TaskbarProgress taskbar{button};
};

struct EndRow {
    const char* reason;
    const char* said;          // the boxes, as boxesSeen() gives them
    const char* into = "out/"; // below the test's folder; none: beside the sources
    bool listed = true;        // one source that is not there, or none
    std::deque<Answer> answers = {};
    bool opens = false; // the folder the pages went to
    std::chrono::milliseconds runLength = 0ms;
    bool notice = false;
    bool userAtTheWindow = false;
    bool esc = false;         // pressed as the run starts
    bool endsUnderIt = false; // the run ends while "Stop converting?" is open
};

void PrintTo(const EndRow& row, std::ostream* out) {
    *out << row.reason;
}

class TheEndOfARun : public MainWindowRun, public ::testing::WithParamInterface<EndRow> {};

TEST_P(TheEndOfARun, SaysHowItWentOpensTheOneFolderAndCallsTheUserBackWhenAway) {
    const EndRow& row = GetParam();
    prompter.answers = row.answers;
    runLength = row.runLength;
    windowActive = row.userAtTheWindow;
    desktop.launcher = &taskbar;
    openWithWorkFolder();
    if (row.esc) {
        escWhenStarted();
    }
    // The run's end, already on its way, delivered by hand while the
    // question is open, as the box's own event loop would.
    prompter.whileOpen = [&](const test::RecordingPrompter::Box& box) {
        if (row.endsUnderIt && box.buttons == Prompter::Buttons::YesNo) {
            QCoreApplication::sendPostedEvents(&window->run());
        }
    };
    convert(row.listed ? QStringList{tree.path("missing.ps")} : QStringList{},
            QString(row.into).isEmpty() ? QString() : tree.path(row.into), [&] {
                // A folder typed and a second Start during the run are for the next run.
                control<QLineEdit>("Text1")->setText(tree.path());
                click("PushButton2");
            });
    QTest::keyClick(window.get(), Qt::Key_Escape); // no run now: nothing to ask
    EXPECT_EQ(boxesSeen(), row.said);
    EXPECT_EQ(prompter.dismissals, row.endsUnderIt ? 1 : 0) << "the question closed by itself";
    EXPECT_EQ(openedFolders,
              row.opens ? QStringList{QDir(tree.path("out")).absolutePath()} : QStringList{});
    // The taskbar showed a run that got to its files, in the error colour
    // once its file failed.
    const QString said = row.said;
    EXPECT_EQ(button.calls.isEmpty() ? "none"
                                     : button.calls.first() + '/' + button.calls.last() +
                                           (button.calls.contains("Error") ? "/Error" : ""),
              !said.contains("Done. [") && !said.contains("Stopped. [") ? "none"
              : said.endsWith('!')                                      ? "Normal/None/Error"
                                                                        : "Normal/None");
    ASSERT_EQ(notifier.notices.size(), row.notice ? 1 : 0);
    if (row.notice) {
        EXPECT_EQ(notifier.notices[0].first, "Velmora|0 of 1 file converted; 1 failed");
        window->showMinimized();
        notifier.notices[0].second();
        EXPECT_TRUE(window->isVisible() && !window->isMinimized()) << "the window comes back";
    }
    EXPECT_EQ(shows().section('|', 4), "Progress Bar 0|arrow") << "as before the run";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(leftInWork(), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TheEndOfARun,
    ::testing::Values(
        EndRow{.reason = "an empty list: the box has no Open Folder to press",
               .said = "No files added. [OK]",
               .listed = false,
               .answers = {Answer::OpenFolder}},
        EndRow{.reason = "a missing folder stops the run before any page",
               .said = "Folder does not exist. Please select another folder. [OK]",
               .into = "out/gone"},
        EndRow{.reason = "Open Folder opens where the pages went",
               .said = "Done. [OK|Open Folder] !",
               .answers = {Answer::OpenFolder},
               .opens = true},
        EndRow{.reason = "OK, the default, only closes the box",
               .said = "Done. [OK|Open Folder] !"},
        EndRow{.reason = "pages beside their sources may lie in many folders",
               .said = "Done. [OK] !",
               .into = "",
               .answers = {Answer::OpenFolder}},
        EndRow{.reason = "a run under 10 s is still watched: no notice",
               .said = "Done. [OK] !",
               .into = "",
               .runLength = 9999ms},
        EndRow{.reason = "10 s or more with the user elsewhere: a notice",
               .said = "Done. [OK] !",
               .into = "",
               .runLength = 10s,
               .notice = true},
        EndRow{.reason = "the user at the window needs no notice",
               .said = "Done. [OK] !",
               .into = "",
               .runLength = 60s,
               .userAtTheWindow = true},
        EndRow{.reason = "Esc asks, Yes stops; a run stopped from the window calls nobody back",
               .said = "Stop converting? [Yes|No] ? / Stopped. [OK|Open Folder] !",
               .answers = {Answer::Yes},
               .runLength = 60s,
               .esc = true},
        EndRow{.reason = "a run that ends under the question closes it, its end box following",
               .said = "Stop converting? [Yes|No] ? / Done. [OK|Open Folder] !",
               .esc = true,
               .endsUnderIt = true}));

// As in the program: the run starts from the event loop, and the window is
// closed while a Ghostscript that never ends runs. The program ends once the
// run has stopped it and removed its work folder; had it not, the window's
// own patience would end the program with the run still going.
TEST_F(MainWindowRun, ClosingMidRunStopsItAndThenEndsTheProgram) {
    MainWindow& form = openWithWorkFolder();
    form.show();
    form.fileList().append(test::WriteFile(tree.path("endless.ps"), "%!PS\n{} loop\n"));
    control<QRadioButton>("Option2")->setChecked(true);
    bool closedWhileConverting = false;
    QObject::connect(&form.run(), &ConversionRun::started, &form, [&] {
        QTimer::singleShot(0, &form, [&] {
            closedWhileConverting = form.run().isConverting();
            form.close();
        });
    });
    QSignalSpy closed(&form, &MainWindow::closed);
    QTimer::singleShot(0, &form, [this] { click("PushButton2"); });
    EXPECT_EQ(QApplication::exec(), 0) << "closing the window ended the event loop";
    EXPECT_TRUE(closedWhileConverting);
    EXPECT_FALSE(form.run().isConverting()) << "the program ended once the run had";
    EXPECT_EQ(closed.size(), 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(prompter.messageTexts(), QStringList{}) << "a closed window tells nothing";
    EXPECT_EQ(leftInWork(), QStringList{});
}

// A Start refused while "Add All" walks leaves the walk's hourglass, and the
// list stays guarded until the walk is over.
TEST_F(MainWindowRun, ARefusedStartLeavesTheWalksHourglass) {
    tree.touch("tree/a/b/c/d/e/deep.ps");
    MainWindow& form = open();
    prompter.textAnswers = {"ps"};
    prompter.folderAnswers = {tree.path("tree")};
    PointerState whenRefused = PointerState::Default;
    QObject::connect(&form.run(), &ConversionRun::finished, &form,
                     [&] { whenRefused = form.windowPointer(); });
    QTimer::singleShot(0, &form, [&] { click("PushButton2"); });
    click("PushButton4");
    EXPECT_EQ(prompter.messageTexts(), QStringList{"No files added."});
    EXPECT_EQ(whenRefused, PointerState::Busy) << "the refusal left the walk's hourglass";
    EXPECT_EQ(form.fileList().count(), 1);
    EXPECT_EQ(form.windowPointer(), PointerState::Default) << "the walk's end takes it away";
}

TEST_F(MainWindowRun, AMissingSandboxIsToldOnceEver) {
    RunSummary sandboxed; // runs that end quietly, so the notice is the only box
    sandboxed.status = RunSummary::Status::Cancelled;
    RunSummary unsandboxed = sandboxed;
    unsandboxed.sandboxed = false;
    open().runControl().afterRun(sandboxed);
    EXPECT_TRUE(prompter.boxes.isEmpty()) << "nothing to tell when the sandbox held";
    window->runControl().afterRun(unsandboxed);
    window->runControl().afterRun(unsandboxed);
    open().runControl().afterRun(unsandboxed);
    EXPECT_EQ(prompter.messageTexts(), QStringList{RunControl::sandboxNoticeText()})
        << "once ever, also after a restart";
    EXPECT_EQ(prompter.boxes.value(0).icon, Prompter::Icon::Information);
}

// The desktop's own file manager: a folder it cannot open is said, whether
// the opener cannot start or ends with a failure (xdg-open's status 3).
TEST_F(MainWindowRun, AFolderTheDesktopCannotOpenIsSaid) {
    QObject context;
    for (const char* opener : {"true", "/no/such/opener", "false"}) {
        OpenFolderOrSayWhy(DesktopFolderOpener(opener), prompter, &context, tree.path());
    }
    // The openers end in the order they started: once the last has spoken,
    // the first would have too.
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.boxes.size() >= 2; }, 10000));
    QCoreApplication::processEvents();
    const QString said = "Could not open the folder " + QDir::toNativeSeparators(tree.path()) + '.';
    EXPECT_EQ(prompter.messageTexts(), (QStringList{said, said}));
}

// The window's pages with a real Ghostscript: named after the source up to
// its first dot (whatever else the name holds), beside it, at the quality
// the slider had when Start was pressed; files that fail are named in the
// box with why. One Ghostscript at a time: the second file starts only once
// No to "Stop converting?" lets the run go on. libjpeg scales its standard
// tables by the quality: the first entry of the first (16 at quality 50) is
// 3 at quality 90.
TEST_F(MainWindowRun, ThePagesAreOfWhatStartWasPressedWith) {
    const QString odd = "$(rm -rf ~); \"quoted\" 'страница'";
    const QStringList sources = {
        test::WriteFile(tree.path("in/one.page.ps"), test::SquarePages(1)),
        test::WriteFile(tree.path("in/" + odd + ".ps"), test::SquarePages(1)),
        test::WriteFile(tree.path("in/empty.ps"), {}),
        test::WriteFile(tree.path("in/noise.ps"), QByteArray(4000, 0x7f))};
    desktop = {}; // the system's own: its clock, and no notices
    openWithWorkFolder().settings().write(setting::kJobs, "1");
    prompter.answers = {Answer::No};
    escWhenStarted();
    control<QSlider>("Slider1")->setValue(90);
    convert(sources, {}, [&] { // what changes meanwhile is for the next run
        control<QSlider>("Slider1")->setValue(10);
        control<QRadioButton>("Option1")->setChecked(true);
    });
    const QStringList lines = prompter.messageTexts().value(1).split('\n');
    ASSERT_EQ(lines.size(), 3) << qPrintable(lines.join('|'));
    EXPECT_EQ(lines[0] + '|' + lines[1], "Done.|" + sources[2] + ": empty file");
    EXPECT_TRUE(lines[2].startsWith(sources[3] + ": not a PostScript or PDF file (Ghostscript"))
        << qPrintable(lines[2]);
    EXPECT_EQ(boxesSeen(), "Stop converting? [Yes|No] ? / Done. [OK] !");
    EXPECT_EQ(QDir(tree.path("in")).entryList({"*.jpg", "*.pdf"}, QDir::Files),
              (QStringList{odd + "-001.jpg", "one-001.jpg"}))
        << "beside the sources, and no PDF left there";
    const QByteArray jpeg = test::ReadFile(tree.path("in/one-001.jpg"));
    const qsizetype table = jpeg.indexOf("\xFF\xDB");
    ASSERT_GE(table, 0) << "no quantisation table";
    EXPECT_EQ(static_cast<unsigned char>(jpeg.at(table + 5)), 3);
    EXPECT_EQ(leftInWork(), QStringList{});
}

} // namespace
