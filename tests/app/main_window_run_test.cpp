// What Start leads to in the window. A source that is not there ends a run at
// once without Ghostscript; only the pages and a close mid-run need a real one.
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
    // Work folders go into the test's own folder, which must be left empty.
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
    // Esc as the run starts: before its files, or once the first is under way.
    void escWhenStarted(bool underWay) {
        const auto esc = [this] { QTest::keyClick(window.get(), Qt::Key_Escape); };
        QObject::connect(&window->run(), &ConversionRun::started, window.get(), [=, this] {
            if (underWay) {
                QTimer::singleShot(0, window.get(), esc);
            } else {
                esc();
            }
        });
    }
    // Pages into `into` (beside the sources when empty); `meanwhile` right after Start.
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
    // Each message box as "its first line [its buttons]" and its icon.
    QString boxesSeen() const {
        static const char* const buttons[] = {" [OK]", " [Yes|No]", " [OK|Open Folder]"};
        static const char* const icons[] = {"", " !", " i", " ?", " x"};
        QStringList seen;
        for (const test::RecordingPrompter::Box& box : prompter.boxes) {
            seen.append(box.text.section('\n', 0, 0) + buttons[int(box.buttons)] +
                        icons[int(box.icon)]);
        }
        return seen.join(" / ");
    }
    test::RecordingTaskbarButton button;
    TaskbarProgress taskbar{button};
};

TEST_F(MainWindowRun, TheEndSaysHowItWentOpensTheOneFolderAndCallsTheUserBackWhenAway) {
    const struct {
        const char* reason;
        const char* said;          // the boxes, as boxesSeen() gives them
        Answer answer;             // to the first box
        const char* into = "out/"; // below the test's folder; none: beside the sources
        std::chrono::milliseconds runLength = 0ms;
        bool userAtTheWindow = false;
        bool notice = false;
        const char* esc = ""; // "at start" of the run, or under way until it "ends under it"
    } rows[] = {
        {"a missing folder stops the run before any page: no Open Folder to press",
         "Folder does not exist. Please select another folder. [OK]", Answer::OpenFolder,
         "out/gone"},
        {"Open Folder opens where the pages went", "Done. [OK|Open Folder] !", Answer::OpenFolder},
        {"OK, the default, only closes the box", "Done. [OK|Open Folder] !", Answer::Ok},
        {"beside their sources pages may lie in many folders: none to open; a run under 10 s "
         "is still watched: no notice",
         "Done. [OK] !", Answer::Ok, "", 9999ms},
        {"10 s or more with the user elsewhere: a notice", "Done. [OK] !", Answer::Ok, "", 10s,
         false, true},
        {"the user at the window needs no notice", "Done. [OK] !", Answer::Ok, "", 60s, true},
        {"Esc asks, Yes stops; a run stopped from the window calls nobody back",
         "Stop converting? [Yes|No] ? / Stopped. [OK|Open Folder]", Answer::Yes, "out/", 60s, false,
         false, "at start"},
        {"a run that ends under the question closes it, its end box following",
         "Stop converting? [Yes|No] ? / Done. [OK|Open Folder] !", Answer::No, "out/", 0ms, false,
         false, "ends under it"},
    };
    desktop.launcher = &taskbar;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        prompter = {};
        prompter.answers = {row.answer};
        openedFolders.clear();
        notifier.notices.clear();
        button.calls.clear();
        runLength = row.runLength;
        windowActive = row.userAtTheWindow;
        openWithWorkFolder();
        const QString esc = row.esc;
        if (!esc.isEmpty()) {
            escWhenStarted(esc != "at start");
        }
        // The run's end, already on its way, as the question's own event loop would deliver it.
        prompter.whileOpen = [&](const test::RecordingPrompter::Box& box) {
            if (esc == "ends under it" && box.buttons == Prompter::Buttons::YesNo) {
                QCoreApplication::sendPostedEvents(&window->run());
            }
        };
        convert({tree.path("missing.ps")}, *row.into ? tree.path(row.into) : QString(), [&] {
            // A folder typed and a second Start during the run are for the next run.
            control<QLineEdit>("Text1")->setText(tree.path());
            click("PushButton2");
        });
        QTest::keyClick(window.get(), Qt::Key_Escape); // no run now: nothing to ask
        const QString said = row.said;
        EXPECT_EQ(boxesSeen(), said);
        EXPECT_EQ(prompter.dismissals, esc == "ends under it" ? 1 : 0) << "closed by itself";
        EXPECT_EQ(openedFolders, row.answer == Answer::OpenFolder && said.contains("|Open Folder]")
                                     ? QStringList{QDir(tree.path("out")).absolutePath()}
                                     : QStringList{});
        // The taskbar shows a run that got to its file, in the error colour once it failed.
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
            EXPECT_TRUE(window->isVisible() && !window->isMinimized()) << "the window is back";
        }
        EXPECT_EQ(shows().section('|', 4), "Progress Bar 0|arrow") << "as before the run";
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(leftInWork(), QStringList{});
    }
}

// Closed while a Ghostscript that never ends runs, the program ends once the run
// has stopped it and removed its work folder, not on the window's own patience.
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

// A Start refused while "Add All" walks leaves the walk's hourglass.
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

// A folder the file manager cannot open is said: it does not start, or it fails.
TEST_F(MainWindowRun, AFolderTheDesktopCannotOpenIsSaid) {
    QObject context;
    for (const char* opener : {"true", "/no/such/opener", "false"}) {
        OpenFolderOrSayWhy(DesktopFolderOpener(opener), prompter, &context, tree.path());
    }
    // The openers end in the order they started: the last has spoken, so all have.
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.boxes.size() >= 2; }, 10000));
    QCoreApplication::processEvents();
    const QString said = "Could not open the folder " + QDir::toNativeSeparators(tree.path()) + '.';
    EXPECT_EQ(prompter.messageTexts(), (QStringList{said, said}));
}

// Pages named after the source up to its first dot, beside it, at the quality
// Start was pressed with; failed files named with why. One Ghostscript at a
// time: the second file starts only once No lets the run go on.
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
    escWhenStarted(true);
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
    EXPECT_EQ(static_cast<unsigned char>(jpeg.at(table + 5)), 3) << "16 at quality 50, 3 at 90";
    EXPECT_EQ(leftInWork(), QStringList{});
}

} // namespace
