// What "Start Converting To JPG" leads to in the window: the box at the end
// and the folder it opens, the desktop's notice and the taskbar's bar, Esc,
// closing mid-run, and the pages of what Start was pressed with. A source
// that is not there ends a run at once without Ghostscript; only the pages
// need a real one.
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
    // Work folders go into a folder of the test's own, which must be left empty.
    MainWindow& openWithWorkFolder() {
        tree.mkdirs({"work", "out"});
        open().run().settings().tempFolder = tree.path("work");
        return *window;
    }
    QStringList leftInWork() const {
        return QDir(tree.path("work")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    // Lists `sources`, sends the pages into `into` (beside the sources when
    // empty), presses Start, runs `meanwhile` right after, and waits for the
    // run's end and the boxes it opens.
    void convert(const QStringList& sources, const QString& into = {},
                 const std::function<void()>& meanwhile = {}) {
        window->fileList().append(sources);
        control<QRadioButton>(into.isEmpty() ? "Option2" : "Option1")->setChecked(true);
        control<QLineEdit>("Text1")->setText(into);
        QSignalSpy finished(&window->run(), &ConversionRun::finished);
        click("PushButton2");
        if (meanwhile) {
            meanwhile();
        }
        ASSERT_TRUE(!finished.isEmpty() || finished.wait(120000));
        QCoreApplication::processEvents();
    }
    // A source that is not there: its run ends at once, one file failed.
    QString missing() const { return tree.path("missing.ps"); }
    test::RecordingTaskbarButton button;
    TaskbarProgress taskbar{button};
};

struct EndRow {
    const char* reason;
    const char* sources; // "missing" or none
    const char* into;    // below the test's folder; none: beside the sources
    Answer answer;
    const char* said; // the end box's first line, and its buttons
    bool opens;
    std::chrono::milliseconds runLength = 0ms;
    bool notice = false;
    bool userAtTheWindow = false;
    bool stopped = false;
    bool openerWorks = true;
};

void PrintTo(const EndRow& row, std::ostream* out) {
    *out << row.reason;
}

class TheEndOfARun : public MainWindowRun, public ::testing::WithParamInterface<EndRow> {};

TEST_P(TheEndOfARun, SaysHowItWentOpensTheOneFolderAndCallsTheUserBackWhenAway) {
    const EndRow& row = GetParam();
    prompter.answers = {row.answer};
    runLength = row.runLength;
    windowActive = row.userAtTheWindow;
    openerWorks = row.openerWorks;
    desktop.launcher = &taskbar;
    openWithWorkFolder();
    const bool started =
        QLatin1String(row.sources) == "missing" && QLatin1String(row.into) != "out/gone";
    const bool failed = started && !row.stopped;
    convert(QString(row.sources).isEmpty() ? QStringList{} : QStringList{missing()},
            QString(row.into).isEmpty() ? QString() : tree.path(row.into), [&] {
                // A folder typed and a second Start during the run are for the next run.
                control<QLineEdit>("Text1")->setText(tree.path());
                click("PushButton2");
                if (row.stopped) {
                    QObject::connect(&window->run(), &ConversionRun::started, &window->run(),
                                     &ConversionRun::stop);
                }
            });
    ASSERT_FALSE(prompter.boxes.isEmpty());
    const Prompter::Buttons buttons = prompter.boxes[0].buttons;
    EXPECT_EQ(prompter.boxes[0].text.section('\n', 0, 0) + " - " +
                  (buttons == Prompter::Buttons::OkOpenFolder ? "OK|Open Folder"
                   : buttons == Prompter::Buttons::YesNo      ? "Yes|No"
                                                              : "OK"),
              row.said);
    EXPECT_EQ(prompter.boxes[0].icon, failed ? Prompter::Icon::Exclamation : Prompter::Icon::None)
        << "the source failed";
    const QString out = QDir(tree.path("out")).absolutePath();
    EXPECT_EQ(openedFolders, row.opens ? QStringList{out} : QStringList{});
    EXPECT_EQ(prompter.messageTexts().mid(1),
              row.opens && !row.openerWorks
                  ? QStringList{"Could not open the folder " + QDir::toNativeSeparators(out) + '.'}
                  : QStringList{});
    // The taskbar showed the run, in the error colour once its file failed.
    EXPECT_EQ(button.calls.isEmpty() ? "none"
                                     : button.calls.first() + '/' + button.calls.last() +
                                           (button.calls.contains("Error") ? "/Error" : ""),
              !started ? "none"
              : failed ? "Normal/None/Error"
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
    ::testing::Values(EndRow{"an empty list", "", "out/", Answer::OpenFolder,
                             "No files added. - OK", false},
                      EndRow{"a missing folder stops the run before any page", "missing",
                             "out/gone", Answer::OpenFolder,
                             "Folder does not exist. Please select another folder. - OK", false},
                      EndRow{"Open Folder opens where the pages went", "missing", "out/",
                             Answer::OpenFolder, "Done. - OK|Open Folder", true},
                      EndRow{"OK, the default, only closes the box", "missing", "out/", Answer::Ok,
                             "Done. - OK|Open Folder", false},
                      EndRow{"pages beside their sources may lie in many folders", "missing", "",
                             Answer::OpenFolder, "Done. - OK", false},
                      EndRow{"a run under 10 s is still watched: no notice", "missing", "",
                             Answer::Ok, "Done. - OK", false, 9999ms},
                      EndRow{"10 s or more with the user elsewhere: a notice", "missing", "",
                             Answer::Ok, "Done. - OK", false, 10s, true},
                      EndRow{"the user at the window needs no notice", "missing", "", Answer::Ok,
                             "Done. - OK", false, 60s, false, true},
                      EndRow{"a run the user stopped from the window: no notice", "missing", "",
                             Answer::Ok, "Stopped. - OK", false, 60s, false, false, true},
                      EndRow{"a desktop that cannot open the folder says so, after the box",
                             "missing", "out/", Answer::OpenFolder, "Done. - OK|Open Folder", true,
                             0ms, false, false, false, false}));

// "Stop converting?" holds the run: Yes stops it, No lets it go on (one
// Ghostscript at a time, the second page only starts once the run goes on),
// and a run that ends under the question closes it, its end box following.
TEST_F(MainWindowRun, EscAsksWhetherToStop) {
    const QStringList pages = {test::WriteFile(tree.path("one.ps"), test::SquarePages(1)),
                               test::WriteFile(tree.path("two.ps"), test::SquarePages(1))};
    const struct {
        Answer answer;
        bool endsUnderIt;
        const char* end;
        QStringList sources;
        const char* reason;
    } rows[] = {
        {Answer::Yes, false, "Stopped.", {missing()}, "Yes stops the run"},
        {Answer::No, false, "Done.", pages, "No lets it go on to its end"},
        {Answer::No, true, "Done.", {missing()}, "a run that ends meanwhile closes the question"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        prompter.boxes.clear();
        prompter.dismissals = 0;
        prompter.answers = {row.answer};
        openWithWorkFolder().settings().write(setting::kJobs, "1");
        // The run's first file is under way when Esc comes.
        if (!SandboxProbe::shared().isDone()) {
            ASSERT_TRUE(QSignalSpy(&SandboxProbe::shared(), &SandboxProbe::done).wait(60000));
        }
        // The run's end, already on its way, comes while the question is
        // open; delivered by hand, as the box's own event loop would.
        prompter.whileOpen = [&](const test::RecordingPrompter::Box&) {
            if (row.endsUnderIt) {
                QCoreApplication::sendPostedEvents(&window->run());
            }
        };
        QObject::connect(&window->run(), &ConversionRun::started, window.get(), [&] {
            QTimer::singleShot(0, window.get(),
                               [&] { QTest::keyClick(window.get(), Qt::Key_Escape); });
        });
        convert(row.sources);
        prompter.whileOpen = nullptr;
        QTest::keyClick(window.get(), Qt::Key_Escape); // no run: nothing to ask
        const QStringList texts = prompter.messageTexts();
        ASSERT_EQ(texts.size(), 2) << qPrintable(texts.join(" | "));
        EXPECT_EQ(texts[0] + '|' + texts[1].section('\n', 0, 0),
                  QStringLiteral("Stop converting?|") + row.end);
        EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::YesNo);
        EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Question);
        EXPECT_EQ(prompter.dismissals, row.endsUnderIt ? 1 : 0) << "closed by itself";
        EXPECT_EQ(leftInWork(), QStringList{});
    }
    EXPECT_TRUE(QFile::exists(tree.path("two-001.jpg")));
}

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
    ASSERT_EQ(prompter.boxes.size(), 1) << "once ever, also after a restart";
    EXPECT_EQ(prompter.boxes[0].text, RunControl::sandboxNoticeText());
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Information);
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
// box with why. libjpeg scales its standard tables by the quality: the first entry
// of the first (16 at quality 50) is 3 at quality 90.
TEST_F(MainWindowRun, ThePagesAreOfWhatStartWasPressedWith) {
    const QString odd = "$(rm -rf ~); \"quoted\" 'страница'";
    const QStringList sources = {
        test::WriteFile(tree.path("in/one.page.ps"), test::SquarePages(1)),
        test::WriteFile(tree.path("in/" + odd + ".ps"), test::SquarePages(1)),
        test::WriteFile(tree.path("in/empty.ps"), {}),
        test::WriteFile(tree.path("in/noise.ps"), QByteArray(4000, 0x7f))};
    desktop = {}; // the system's own: its clock, and no notices
    openWithWorkFolder();
    control<QSlider>("Slider1")->setValue(90);
    convert(sources, {}, [&] { // what changes meanwhile is for the next run
        control<QSlider>("Slider1")->setValue(10);
        control<QRadioButton>("Option1")->setChecked(true);
    });
    const QStringList lines = prompter.messageTexts().value(0).split('\n');
    ASSERT_EQ(lines.size(), 3) << qPrintable(lines.join('|'));
    EXPECT_EQ(lines[0] + '|' + lines[1], "Done.|" + sources[2] + ": empty file");
    EXPECT_TRUE(lines[2].startsWith(sources[3] + ": not a PostScript or PDF file (Ghostscript"))
        << qPrintable(lines[2]);
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Exclamation);
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
