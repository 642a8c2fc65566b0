// The window's file list as the user works it: its buttons, removing rows,
// putting rows in order with the mouse and the keyboard, drops from the
// desktop and files handed over at start-up.
#include "app/setting.h"
#include "app/window_fixture.h"
#include "base/failure.h"
#include "support/fake_event_pump.h"
#include "support/text.h"

#include <QMimeData>
#include <QScrollBar>
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
    QPoint rowPoint(int row) const { return list()->visualRect(files().index(row)).center(); }
    int selectedRow() const {
        const QModelIndexList rows = list()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }
    // Plays a user's steps on the list: "click:1", "dbl:1" (a double-click;
    // "dbl:-" beside the rows), "press:0", "move:2", "release:2", "lost:2" (a
    // move with no button held, its release gone to a box), "busy" (a run
    // starts), a key ("del", "sdel" with Shift and Ctrl, "bs", "alt-up",
    // "alt-down", "pad-up" with Alt, "up"), "clear", and checks of the
    // list's pointer ("is:bitmap", "is:arrow") and the window's ("is:busy").
    void play(const char* steps) const {
        const QMap<QString, QTest::MouseAction> mouse{{"click", QTest::MouseClick},
                                                      {"press", QTest::MousePress},
                                                      {"move", QTest::MouseMove},
                                                      {"release", QTest::MouseRelease}};
        const QMap<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> keys{
            {"del", {Qt::Key_Delete, Qt::NoModifier}},
            {"sdel", {Qt::Key_Delete, Qt::ShiftModifier | Qt::ControlModifier}},
            {"bs", {Qt::Key_Backspace, Qt::NoModifier}},
            {"alt-up", {Qt::Key_Up, Qt::AltModifier}},
            {"alt-down", {Qt::Key_Down, Qt::AltModifier}},
            {"pad-up", {Qt::Key_Up, Qt::AltModifier | Qt::KeypadModifier}},
            {"up", {Qt::Key_Up, Qt::NoModifier}}};
        std::optional<WindowPointer::BusyScope> busy;
        for (const QString& step : QString(steps).split(' ')) {
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
            } else if (verb == "clear") {
                click("PushButton9");
            } else if (step == "is:busy") {
                EXPECT_EQ(window->windowPointer(), Busy);
            } else if (verb == "is") {
                EXPECT_EQ(viewport()->cursor().shape(),
                          arg == "bitmap" ? Qt::BitmapCursor : Qt::ArrowCursor)
                    << qPrintable(step);
            } else {
                QTest::keyClick(list(), keys[verb].first, keys[verb].second);
            }
        }
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
        {"A,B,C", "click:1 del", "A,C", 1, "Delete removes the selected row"},
        {"A,B,C", "click:1 bs sdel", "A,C", 1, "not Backspace; Delete with any modifiers"},
        {"A,B,C", "dbl:1", "A,C", 1, "a double-click on a row removes it"},
        {"A,B,C", "click:0 dbl:-", "B,C", 0, "beside the rows too; the next row is selected"},
        {"A,B,C", "del dbl:-", "A,B,C", -1, "nothing without a selection"},
        {"", "del clear", "", -1, "nor in an empty list"},
        {"A,B,C", "click:1 busy del dbl:1 clear is:busy", "A,B,C", 1,
         "nothing shrinks the list while a run goes on"},
        {"A,B,C", "clear", "", -1, "Clear List empties it"},
        {"A,B,C,D", "press:0 is:bitmap move:1 move:2 move:3 release:3 is:arrow", "B,C,D,A", 3,
         "a dragged row travels with the pointer, under the list's drag picture"},
        {"A,B", "press:0 release:0", "A,B", 0, "a click moves nothing"},
        {"A,B,A", "press:0 move:2 release:2", "A,B,A", 0, "onto the same path: nothing to move"},
        {"A,B,C", "busy press:0 move:1 release:1 is:busy", "B,A,C", 1, "also while converting"},
        {"A,B,C", "press:0 move:1 lost:2 is:arrow move:2", "B,A,C", 1,
         "a release the list never saw ends the drag"},
        {"A,B,C", "click:1 alt-up", "B,A,C", 0, "Alt+Up moves the selected row up"},
        {"A,B,C", "click:1 alt-down", "A,C,B", 2, "and Alt+Down down"},
        {"A,B,C", "click:2 alt-down", "A,B,C", 2, "the last row goes no lower"},
        {"A,B,C", "alt-down", "A,B,C", -1, "no row selected"},
        {"A,B,C", "click:1 busy pad-up", "B,A,C", 0, "the number pad's arrow, also when busy"},
        {"A,B,C", "click:1 up", "A,B,C", 0, "without Alt the selection moves"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        files().clear();
        files().append(split(row.rows));
        list()->selectionModel()->clear();
        play(row.steps);
        EXPECT_EQ(files().rows(), split(row.after));
        EXPECT_EQ(selectedRow(), row.selected);
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
        files().append(QStringLiteral("row%1").arg(i));
    }
    list()->scrollTo(files().index(10), QAbstractItemView::PositionAtTop);
    const int last = list()->indexAt(QPoint(5, viewport()->height() - 2)).row();
    ASSERT_GT(last, 13);
    const auto shownWhole = [&](int row) {
        return viewport()->rect().contains(list()->visualRect(files().index(row)));
    };
    // The last row may be half shown: the pointer goes onto its shown part.
    const QPoint onLast = (list()->visualRect(files().index(last)) & viewport()->rect()).center();
    play("press:11");
    QTest::mouseMove(viewport(), onLast);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, onLast);
    EXPECT_EQ(files().text(last + 1), "row11");
    EXPECT_TRUE(shownWhole(last + 1)) << "the row below came into view";

    const int first = list()->indexAt(QPoint(5, 1)).row();
    play(qPrintable(QStringLiteral("press:%1 move:%2").arg(first + 2).arg(first + 1)));
    EXPECT_FALSE(shownWhole(first - 1)) << "not at the edge yet";
    play(qPrintable(QStringLiteral("move:%1 release:%1").arg(first)));
    EXPECT_TRUE(shownWhole(first - 1)) << "the row above came into view";

    list()->scrollToTop();
    play("click:0");
    for (int i = 0; i < 39; ++i) {
        play("alt-down");
    }
    EXPECT_EQ(files().text(40), "row0");
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
    EXPECT_EQ(dialog.kind + '|' + dialog.title + '|' + dialog.text + '|' + dialog.preset,
              "pickFiles|Add File(s) - Hold Ctrl or Shift to select multiple files|"
              "PS Files (*.ps)|");
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{"You've selected too many files to add.\r\r"
                          "Please try adding via the \"Add All\" button."});
}

TEST_F(FileListControlsTest, AddAllWalksTheFolderForTheExtensionUnderTheHourglass) {
    tree.touchAll({"F/a.ps", "F/b.PS", "F/c.txt", "F/S1/d.ps"});
    // Two walks; then a folder pick cancelled, the extension cancelled, and none.
    prompter.textAnswers = {"ps", "ps", "txt", std::nullopt, ""};
    prompter.folderAnswers = {tree.path("F"), tree.path("F"), ""};
    PointerState walking = Default;
    duringTheWalk(walking);
    for (int i = 0; i < 5; ++i) {
        click("PushButton4");
    }
    const QStringList once{tree.path("F/a.ps"), tree.path("F/b.PS"), tree.path("F/S1/d.ps")};
    EXPECT_EQ(files().rows(), once + once);
    EXPECT_EQ(walking, Busy) << "and Clear List was refused meanwhile";
    QStringList asked; // each starts where the last left off, the extension kept without a folder
    for (const auto& box : prompter.boxes) {
        asked.append(box.kind + ':' + box.preset);
    }
    const QString f = tree.path("F");
    EXPECT_EQ(asked, (QStringList{"askText:ps", "pickFolder:", "askText:ps", "pickFolder:" + f,
                                  "askText:ps", "pickFolder:" + f, "askText:txt", "askText:txt"}));
    EXPECT_EQ(prompter.boxes.value(0).text,
              "Enter file extension to load:\r\r(* for all files, txt for "
              "all txt files, doc for all doc files, etc.)");
    EXPECT_EQ(prompter.boxes.value(1).title, "Please select folder:");
    EXPECT_EQ(stored("LastFolder=" + f), "LastFolder=" + f);

    // Another operation's hourglass is left to it; files handed over at
    // start-up are walked under the hourglass too.
    std::optional<WindowPointer::BusyScope> converting(std::in_place, window->pointer());
    prompter.textAnswers = {"*"};
    prompter.folderAnswers = {tree.path("F/S1")};
    click("PushButton4");
    EXPECT_EQ(window->windowPointer(), Busy);
    converting.reset();
    walking = Default;
    duringTheWalk(walking);
    window->listControls().openWith({tree.path("F/S1"), tree.path("F/c.txt")});
    EXPECT_EQ(files().rows().mid(6),
              (QStringList{tree.path("F/S1/d.ps"), tree.path("F/S1/d.ps"), tree.path("F/c.txt")}));
    EXPECT_EQ(walking, Busy);
    EXPECT_EQ(window->windowPointer(), Default);
    EXPECT_TRUE(prompter.messageTexts().isEmpty());
}

TEST_F(FileListControlsTest, TheSamplesAreListedOnceAndTheirFolderOfferedEachTime) {
    prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    click("PushButton10");
    click("PushButton10");
    EXPECT_EQ(files().count(), 4);
    const QString question = "Would you like this software to open the folder where these sample "
                             "files are stored (so that you can view them before working with "
                             "them)?";
    EXPECT_EQ(prompter.messageTexts(), (QStringList{question, question}));
    EXPECT_EQ(prompter.boxes.value(0).buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(openedFolders, QStringList{QCoreApplication::applicationDirPath() + "/Samples"});
}

// Dialogs and boxes that fail, as on a desktop whose portal is broken; the
// error boxes are kept as values, and the extension prompt answers "ps".
struct FailingPrompter : Prompter {
    void problem(const Problem& problem) override { problems.append(problem); }
    Answer message(const QString&, const QString&, Buttons, Icon, const QString&) override {
        throw Failure("no box");
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override {
        return "ps";
    }
    QStringList pickFiles(const QString&, const QString&, const QString&) override {
        throw Failure("no dialog");
    }
    QString pickFolder(const QString&, const QString& start) override { return start + "F"; }
    QList<Problem> problems;
};

// Users quote the box's location and step when they mail us; each command
// keeps its own, whatever its code is called. A walk breaks at its first
// folder; its own folders are told first, the command's box comes last.
TEST_F(FileListControlsTest, EachCommandNamesItsOwnLocationAndStepInTheErrorBox) {
    tree.touch("F/a.ps");
    const struct {
        std::function<void(FileListControls&)> act;
        const char* said;
    } rows[] = {
        {[](FileListControls& c) { c.commands().addFiles(); }, "PushButton1_Click at line 112"},
        {&FileListControls::addFolder, "PushButton4_Click at line 118"},
        {&FileListControls::loadSamples, "PushButton10_Click at line 100"},
        {[this](FileListControls& c) { c.addDroppedPaths({tree.path("F")}); },
         "ListView1_OLEDragDrop at line 100"},
        {[this](FileListControls& c) { c.openWith({tree.path("F")}); },
         "ListView1_OLEDragDrop at line 100"},
    };
    for (const auto& row : rows) {
        FailingPrompter failing;
        test::FakeEventPump walk;
        walk.hook = [](int) { throw Failure("the walk broke"); };
        window->settings().write(setting::kLastFolder, tree.path() + '/');
        FileListControls controls(*list(), files(), failing, window->settings(), window->pointer(),
                                  walk, tree.path(), {});
        controls.setYieldIntervalMs(0);
        row.act(controls);
        ASSERT_FALSE(failing.problems.isEmpty()) << row.said;
        const Problem& told = failing.problems.last();
        EXPECT_EQ(QStringLiteral("%1 at line %2").arg(told.location).arg(told.line),
                  QStringLiteral("Velmora2021/08/31.Form1.") + row.said);
        EXPECT_EQ(window->windowPointer(), Default) << "the hourglass goes again";
    }
}

// Drops are taken as copies of files of this computer, also while the
// window is busy, and their rows come in the order dropped.
TEST_F(FileListControlsTest, DropsAreCopiesOfLocalFilesAddedInTheOrderDropped) {
    tree.touchAll({"F/a.ps", "F/sub/b.txt", "single.jpg"});
    const QStringList added = {tree.path("F/a.ps"), tree.path("F/sub/b.txt"),
                               tree.path("single.jpg")};
    const struct {
        const char* carries; // the folder and the file, or text, or a web address
        Qt::DropActions offered;
        Qt::KeyboardModifiers keys;
        bool taken;
        const char* reason;
    } drags[] = {
        {"files", Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier, true,
         "a Shift-drag proposes a move: taken as a copy, so the source deletes nothing"},
        {"files", Qt::CopyAction | Qt::MoveAction, Qt::NoModifier, true, "a plain drag: a copy"},
        {"files", Qt::MoveAction, Qt::NoModifier, false, "a source that can only move is refused"},
        {"text", Qt::CopyAction, Qt::NoModifier, false, "dragged text is refused"},
        {"web", Qt::CopyAction, Qt::NoModifier, false, "only files of this computer"},
    };
    const WindowPointer::BusyScope busy(window->pointer());
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.reason);
        files().clear();
        QMimeData data;
        if (QLatin1String(drag.carries) == "files") {
            data.setUrls({QUrl::fromLocalFile(tree.path("F")), QUrl::fromLocalFile(added[2])});
        } else if (QLatin1String(drag.carries) == "web") {
            data.setUrls({QUrl("https://example.com/a.ps")});
        } else {
            data.setText(added[2]);
        }
        QDragEnterEvent enter({10, 10}, drag.offered, &data, Qt::LeftButton, drag.keys);
        QCoreApplication::sendEvent(viewport(), &enter);
        QDropEvent drop({10, 10}, drag.offered, &data, Qt::LeftButton, drag.keys);
        QCoreApplication::sendEvent(viewport(), &drop);
        QCoreApplication::processEvents(); // the rows are made once the drop has returned
        EXPECT_EQ(enter.isAccepted() + drop.isAccepted(), drag.taken ? 2 : 0);
        EXPECT_TRUE(!drag.taken || drop.dropAction() == Qt::CopyAction);
        EXPECT_EQ(files().rows(), drag.taken ? added : QStringList{});
    }
    files().clear();
    window->listControls().addDroppedPaths({tree.path("single.jpg"), tree.path("F")});
    EXPECT_EQ(files().rows(), (QStringList{added[2], added[0], added[1]}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

} // namespace
