// The window's file list as the user works it: its buttons, removing rows,
// putting rows in order with the mouse and the keyboard, drops from the
// desktop and files handed over at start-up. What the rows become is the
// filelist tables' concern; here, what reaches them from the widget.
#include "app/folder_browser.h"
#include "app/window_fixture.h"
#include "base/failure.h"
#include "filelist/sample_files.h"
#include "support/fake_event_pump.h"
#include "support/text.h"

#include <QMimeData>
#include <QTimer>

using namespace velmora;
using test::split;
using enum PointerState;

namespace {

class FileListControlsTest : public test::WindowFixture {
protected:
    void SetUp() override { shown(); }
    FileList& files() const { return window->fileList(); }
    QWidget* viewport() const { return list()->viewport(); }
    // The middle of the row's shown part: the last row may be half shown.
    QPoint rowPoint(int row) const {
        return (list()->visualRect(files().index(row)) & viewport()->rect()).center();
    }
    bool shownWhole(int row) const {
        return viewport()->rect().contains(list()->visualRect(files().index(row)));
    }
    // Plays a user's steps on the list: "click:1", "dbl:1" (a double-click;
    // "dbl:-" beside the rows), "press:0", "move:2", "release:2", "lost:2" (a
    // move with no button held, its release gone to a box), "busy" (a run
    // starts), "clear", a Shift-drag from the desktop dropped ("drop:files"
    // of the tree's F and single.jpg, "drop:moved" from a source that offers
    // no copy, "drop:text", "drop:web"), checks of the list's pointer
    // ("is:bitmap", "is:arrow") and the window's ("is:busy"); any other step
    // is a key sequence ("Del", "Alt+Up", "Num+Alt+Up").
    void play(const QString& steps) const {
        const QMap<QString, QTest::MouseAction> mouse{{"click", QTest::MouseClick},
                                                      {"press", QTest::MousePress},
                                                      {"move", QTest::MouseMove},
                                                      {"release", QTest::MouseRelease}};
        std::optional<WindowPointer::BusyScope> busy;
        for (const QString& step : steps.split(' ')) {
            const QString verb = step.section(':', 0, 0);
            const QString arg = step.section(':', 1);
            const QPoint at =
                arg == "-" ? QPoint(20, viewport()->height() - 3) : rowPoint(arg.toInt());
            if (mouse.contains(verb)) {
                QTest::mouseEvent(mouse[verb], viewport(), Qt::LeftButton, {}, at);
            } else if (verb == "dbl") {
                QTest::mouseClick(viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(viewport(), Qt::LeftButton, {}, at);
                QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at);
            } else if (verb == "lost") {
                QTestPrivate::qtestMouseButtons = Qt::NoButton;
                QMouseEvent pass(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, {});
                QCoreApplication::sendEvent(viewport(), &pass);
            } else if (verb == "busy") {
                busy.emplace(window->pointer());
            } else if (verb == "drop") {
                drop(arg);
            } else if (verb == "clear") {
                click("PushButton9");
            } else if (verb == "is") {
                const bool picture = viewport()->cursor().shape() == Qt::BitmapCursor;
                EXPECT_EQ(arg, window->windowPointer() == Busy ? "busy"
                               : picture                       ? "bitmap"
                                                               : "arrow");
            } else {
                QTest::keySequence(list(), QKeySequence(step));
            }
        }
    }
    // A Shift-drag proposes a move: taken as one, the source would delete
    // the user's files.
    void drop(const QString& kind) const {
        QMimeData data;
        data.setText(tree.path("single.jpg"));
        if (kind != "text") {
            data.setUrls(kind == "web" ? QList{QUrl("https://example.com/a.ps")}
                                       : QList{QUrl::fromLocalFile(tree.path("single.jpg")),
                                               QUrl::fromLocalFile(tree.path("F"))});
        }
        const Qt::DropActions offered =
            kind == "moved" ? Qt::MoveAction : Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter({10, 10}, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(viewport(), &enter);
        QDropEvent drop({10, 10}, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(viewport(), &drop);
        QCoreApplication::processEvents(); // the rows are made once the drop has returned
        EXPECT_EQ(enter.isAccepted() + drop.isAccepted(), kind == "files" ? 2 : 0)
            << qPrintable(kind);
        EXPECT_TRUE(kind != "files" || drop.dropAction() == Qt::CopyAction);
    }
    // What the window shows while a walk goes on: the walk lets window
    // events run, so the list's Clear is tried meanwhile too.
    void duringTheWalk(PointerState& seen) const {
        QTimer::singleShot(0, window.get(), [this, &seen] {
            seen = window->windowPointer();
            click("PushButton9");
        });
    }
};

TEST_F(FileListControlsTest, TheUsersStepsRemoveAndMoveRows) {
    const struct {
        const char* rows;
        const char* steps;
        const char* after;
        int selected;
        const char* reason;
    } rows[] = {
        {"A,B,C", "click:1 Del", "A,C", 1, "Delete removes the selected row"},
        {"A,B,C", "click:1 Backspace Shift+Ctrl+Del", "A,C", 1,
         "not Backspace; Delete with any modifiers"},
        {"A,B,C", "dbl:1", "A,C", 1, "a double-click on a row removes it"},
        {"A,B,C", "click:0 dbl:-", "B,C", 0, "beside the rows too; the next row is selected"},
        {"A,B,C", "Del dbl:-", "A,B,C", -1, "nothing without a selection"},
        {"", "Del clear", "", -1, "nor in an empty list"},
        {"A,B,C", "click:1 busy Del dbl:1 clear is:busy", "A,B,C", 1,
         "nothing shrinks the list while a run goes on"},
        {"A,B,C", "clear", "", -1, "Clear List empties it"},
        {"A,B,C,D", "press:0 is:bitmap move:1 move:2 move:3 release:3 is:arrow", "B,C,D,A", 3,
         "a dragged row travels with the pointer, under the list's drag picture"},
        {"A,B", "press:0 release:0", "A,B", 0, "a click moves nothing"},
        {"A,B,A", "press:0 move:2 release:2", "A,B,A", 0, "onto the same path: nothing to move"},
        {"A,B,C", "busy press:0 move:1 release:1 is:busy", "B,A,C", 1, "also while converting"},
        {"A,B,C", "press:0 move:1 lost:2 is:arrow move:2", "B,A,C", 1,
         "a release the list never saw ends the drag"},
        {"A,B,C", "click:1 Alt+Up", "B,A,C", 0, "Alt+Up moves the selected row up"},
        {"A,B,C", "click:1 Alt+Down", "A,C,B", 2, "and Alt+Down down"},
        {"A,B,C", "click:2 Alt+Down", "A,B,C", 2, "the last row goes no lower"},
        {"A,B,C", "Alt+Down", "A,B,C", -1, "no row selected"},
        {"A,B,C", "click:1 busy Num+Alt+Up", "B,A,C", 0, "the number pad's arrow, also when busy"},
        {"A,B,C", "click:1 Up", "A,B,C", 0, "without Alt the selection moves"},
        {"", "busy drop:files", "single.jpg,F/a.ps,F/sub/b.txt", -1,
         "a drop is taken as a copy, also while busy; its rows in the order dropped"},
        {"", "drop:moved", "", -1, "a source that can only move is refused"},
        {"", "drop:text", "", -1, "dragged text is refused"},
        {"", "drop:web", "", -1, "only files of this computer"},
    };
    tree.touchAll({"F/a.ps", "F/sub/b.txt", "single.jpg"});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        files().clear();
        files().append(split(row.rows));
        list()->selectionModel()->clear();
        play(row.steps);
        EXPECT_EQ(tree.relative(files().rows()), split(row.after));
        const QModelIndexList selected = list()->selectionModel()->selectedRows();
        EXPECT_EQ(selected.isEmpty() ? -1 : selected.front().row(), row.selected);
        EXPECT_FALSE(window->listControls().drag().isDragging());
        EXPECT_EQ(window->windowPointer(), Default) << "the last one out takes the hourglass";
    }
    EXPECT_TRUE(prompter.boxes.isEmpty()) << "no questions asked";

    shown(tree.path()); // no drag picture beside the program: the list's own pointer
    files().append(split("A,B"));
    play("press:0 is:arrow move:1 release:1");
    EXPECT_EQ(files().rows(), split("B,A"));
}

TEST_F(FileListControlsTest, ARowMovedToTheVisibleEdgeBringsTheNextIntoView) {
    for (int i = 0; i < 40; ++i) {
        files().append(QString::number(i));
    }
    list()->scrollTo(files().index(10), QAbstractItemView::PositionAtTop);
    const int last = list()->indexAt(QPoint(5, viewport()->height() - 2)).row();
    play(QStringLiteral("press:11 move:%1 release:%1").arg(last));
    EXPECT_EQ(files().text(last + 1), "11") << "its text, counted from 1";
    EXPECT_TRUE(shownWhole(last + 1)) << "the row below came into view";

    const int first = list()->indexAt(QPoint(5, 1)).row();
    play(QStringLiteral("press:%1 move:%2").arg(first + 2).arg(first + 1));
    EXPECT_FALSE(shownWhole(first - 1)) << "not at the edge yet";
    play(QStringLiteral("move:%1 release:%1").arg(first));
    EXPECT_TRUE(shownWhole(first - 1)) << "the row above came into view";

    list()->scrollToTop();
    play("click:0" + QString(" Alt+Down").repeated(39));
    EXPECT_EQ(files().text(files().count()), "0");
    EXPECT_TRUE(shownWhole(39)) << "a row moved by key stays in view";
}

TEST_F(FileListControlsTest, AddFilesAppendsWhatTheDialogGivesIfTheAnswerHoldsIt) {
    const QStringList tooMany(4000, "/d/000000.ps"); // more names than a dialog's answer holds
    prompter.fileAnswers = {{"/d//one.ps"}, {"/d/b.ps", "/d/a.ps"}, {}, tooMany};
    for (int i = 0; i < 4; ++i) {
        click("PushButton1");
    }
    EXPECT_EQ(files().rows(), (QStringList{"/d//one.ps", "/d/b.ps", "/d/a.ps"}));
    const test::RecordingPrompter::Box dialog = prompter.boxes.value(0);
    EXPECT_EQ(dialog.title + '|' + dialog.text,
              ListCommands::addFilesTitle() + '|' + ListCommands::addFilesFilter());
    EXPECT_EQ(prompter.messageTexts(), QStringList{ListCommands::tooManyFilesText()});
}

TEST_F(FileListControlsTest, AddAllWalksTheFolderForTheExtensionUnderTheHourglass) {
    tree.touchAll({"F/a.ps", "F/b.PS", "F/c.txt", "F/S1/d.ps"});
    // A walk; then a folder pick cancelled, the extension cancelled, and none.
    prompter.textAnswers = {"ps", "txt", std::nullopt, ""};
    prompter.folderAnswers = {tree.path("F"), ""};
    PointerState walking = Default;
    duringTheWalk(walking);
    for (int i = 0; i < 4; ++i) {
        click("PushButton4");
    }
    EXPECT_EQ(tree.relative(files().rows()), split("F/a.ps,F/b.PS,F/S1/d.ps"));
    EXPECT_EQ(walking, Busy) << "and Clear List was refused meanwhile";
    QStringList asked; // each starts where the last left off, the extension kept without a folder
    for (const auto& box : prompter.boxes) {
        asked.append(box.kind + ':' + box.preset);
    }
    EXPECT_EQ(asked, (QStringList{"askText:ps", "pickFolder:", "askText:ps",
                                  "pickFolder:" + tree.path("F"), "askText:txt", "askText:txt"}));
    EXPECT_EQ(prompter.boxes.value(0).text + '|' + prompter.boxes.value(1).title,
              ListCommands::extensionPrompt() + '|' + FolderPickerTitle());

    // A run's hourglass is left to it; files handed over at start-up are
    // walked under the hourglass too, in the order given.
    {
        const WindowPointer::BusyScope converting(window->pointer());
        prompter.textAnswers = {"*"};
        prompter.folderAnswers = {tree.path("F/S1")};
        click("PushButton4");
        EXPECT_EQ(window->windowPointer(), Busy);
    }
    walking = Default;
    duringTheWalk(walking);
    window->listControls().openWith({tree.path("F/S1"), tree.path("F/c.txt")});
    EXPECT_EQ(tree.relative(files().rows().mid(3)), split("F/S1/d.ps,F/S1/d.ps,F/c.txt"));
    EXPECT_EQ(walking, Busy);
    EXPECT_EQ(window->windowPointer(), Default);
    EXPECT_TRUE(prompter.messageTexts().isEmpty());
}

TEST_F(FileListControlsTest, TheSamplesAreListedOnceAndTheirFolderOfferedEachTime) {
    prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    click("PushButton10");
    const int listed = files().count();
    click("PushButton10");
    EXPECT_TRUE(listed > 0 && files().count() == listed) << listed;
    EXPECT_EQ(prompter.messageTexts(), QStringList(2, ListCommands::samplesQuestion()));
    EXPECT_EQ(prompter.boxes.value(0).buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(openedFolders, QStringList{SamplesFolder(QCoreApplication::applicationDirPath())});
}

// Users quote the box's location and step when they mail us; each command
// keeps its own, whatever its code is called, and fails without ending the
// program or keeping the hourglass. Dialogs and boxes fail as on a desktop
// whose portal is broken, and a walk breaks at its first folder.
struct BrokenDesktop : test::RecordingPrompter {
    void problem(const Problem& problem) override {
        told = QStringLiteral("%1 at line %2").arg(problem.location).arg(problem.line);
    }
    QStringList pickFiles(const QString&, const QString&, const QString&) override {
        throw Failure("no dialog");
    }
    QString told;
};

TEST_F(FileListControlsTest, EachCommandNamesItsOwnLocationAndStepInTheErrorBox) {
    tree.touch("F/a.ps");
    const QStringList folder{tree.path("F")};
    const std::pair<std::function<void(FileListControls&)>, const char*> rows[] = {
        {&FileListControls::addFiles, "PushButton1_Click at line 112"},
        {&FileListControls::addFolder, "PushButton4_Click at line 118"},
        {&FileListControls::loadSamples, "PushButton10_Click at line 100"},
        {[&](FileListControls& c) { c.addDroppedPaths(folder); },
         "ListView1_OLEDragDrop at line 100"},
    };
    for (const auto& [act, said] : rows) {
        BrokenDesktop broken;
        broken.textAnswers = {"ps"};
        broken.folderAnswers = {folder[0]};
        broken.whileOpen = [](const auto&) { throw Failure("no box"); };
        test::FakeEventPump walk;
        walk.hook = [](int) { throw Failure("the walk broke"); };
        FileListControls controls(*list(), files(), broken, window->settings(), window->pointer(),
                                  walk, tree.path(), {});
        controls.setYieldIntervalMs(0);
        act(controls);
        EXPECT_EQ(broken.told, QStringLiteral("Velmora2021/08/31.Form1.") + said);
        EXPECT_EQ(window->windowPointer(), Default) << "the hourglass goes again";
    }
}

} // namespace
