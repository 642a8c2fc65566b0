#include "app/file_list_handlers.h"
#include "app/settings_store.h"
#include "app/window_pointer.h"
#include "filelist/dialog_rows.h"
#include "filelist/file_list.h"
#include "support/fake_event_pump.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/temp_tree.h"
#include "support/text.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

using namespace velmora;
using test::split;

namespace {

struct FileListHandlersTest : ::testing::Test {
    QTemporaryDir temp;
    test::TempTree tree;
    test::RecordingPrompter prompter;
    SettingsStore settings{prompter, temp.filePath(QStringLiteral("settings.ini"))};
    QWidget window;
    QTreeView* view = new QTreeView(&window);
    FileList files;
    WindowPointer pointer{window};
    test::FakeEventPump pump{true}; // lets events run like the real pump
    QStringList opened;
    QString program = temp.filePath(QStringLiteral("program"));
    FileListHandlers handlers{
        *view,   files, prompter, settings,
        pointer, pump,  program,  [this](const QString& folder) { opened.append(folder); }};

    void SetUp() override {
        handlers.setYieldIntervalMs(0); // let events run at every folder
        ASSERT_TRUE(QDir().mkpath(program));
        // Our own drag pointer picture, installed beside the test programs.
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/drag.ico"),
                    program + QStringLiteral("/drag.ico"));
        view->setModel(&files);
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setGeometry(0, 0, 400, 200);
        window.resize(400, 200);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { view->setModel(nullptr); }

    QWidget* viewport() const { return view->viewport(); }
    QPoint rowPoint(int row) const { return view->visualRect(files.index(row)).center(); }
    // A point on the row inside the viewport, also for a half-shown row.
    QPoint visiblePoint(int row) const {
        const QRect shown = view->visualRect(files.index(row)) & viewport()->rect();
        return shown.center();
    }
    template <typename Predicate> bool waitFor(Predicate done) {
        for (int i = 0; i < 200 && !done(); ++i) {
            QTest::qWait(10);
        }
        return done();
    }
    QPoint belowRows() const { return QPoint(20, viewport()->height() - 3); }
    void fill(const QStringList& rows) { files.append(rows); }
    int selectedRow() const {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }
    void click(int row) { QTest::mouseClick(viewport(), Qt::LeftButton, {}, rowPoint(row)); }
    void doubleClick(QPoint at) {
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at);
    }
    // Press on `from`, move over each row of `over` in turn, release there.
    void dragRow(int from, const std::vector<int>& over) {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, rowPoint(from));
        QPoint at = rowPoint(from);
        for (const int row : over) {
            at = rowPoint(row);
            QTest::mouseMove(viewport(), at);
        }
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at);
    }
    void touch(const QString& rel) const { tree.touch(rel); }
    QString at(const QString& rel) const { return tree.path(rel); }
};

// --- Reordering -------------------------------------------------------------

TEST_F(FileListHandlersTest, DraggingARowMovesItsPathWithThePointer) {
    fill(split("A,B,C,D"));
    dragRow(0, {0, 1, 2, 3});
    EXPECT_EQ(files.rows(), split("B,C,D,A"));
    EXPECT_EQ(selectedRow(), 3);

    files.clear();
    fill(split("A,B,A"));
    dragRow(0, {2}); // a jump onto the same path
    EXPECT_EQ(files.rows(), split("A,B,A"));
    EXPECT_EQ(selectedRow(), 0) << "the view itself does not select rows during the drag";
}

TEST_F(FileListHandlersTest, TheListShowsItsDragPointerUntilTheRelease) {
    fill(split("A,B"));
    QTest::mousePress(viewport(), Qt::LeftButton, {}, rowPoint(0));
    EXPECT_TRUE(handlers.drag().Dragging());
    EXPECT_EQ(handlers.drag().DragItem(), 0);
    EXPECT_EQ(viewport()->cursor().shape(), Qt::BitmapCursor) << "drag.ico";
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, rowPoint(0));
    EXPECT_FALSE(handlers.drag().Dragging());
    EXPECT_EQ(viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(files.rows(), split("A,B")) << "a click moves nothing";
}

TEST_F(FileListHandlersTest, AMissingDragPictureKeepsTheListsPointer) {
    QFile::remove(program + QStringLiteral("/drag.ico"));
    fill(split("A,B"));
    dragRow(0, {1});
    EXPECT_EQ(files.rows(), split("B,A"));
    EXPECT_EQ(viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FileListHandlersTest, ARemovedDraggedRowIsDraggedNoMore) {
    fill(split("A,B,C"));
    click(1);
    QTest::keyClick(view, Qt::Key_Delete);
    ASSERT_EQ(files.rows(), split("A,C"));
    // A press on the empty area below the rows, then over a row.
    QTest::mousePress(viewport(), Qt::LeftButton, {}, belowRows());
    QTest::mouseMove(viewport(), rowPoint(0));
    QTest::mouseMove(viewport(), rowPoint(1));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, rowPoint(1));
    EXPECT_EQ(files.rows(), split("A,C"));
}

TEST_F(FileListHandlersTest, ScrollsOnlyRightAfterAnExchangeAtTheVisibleEdges) {
    for (int i = 0; i < 40; ++i) {
        files.append(QStringLiteral("row%1").arg(i));
    }
    view->scrollTo(files.index(10), QAbstractItemView::PositionAtTop);
    QScrollBar* bar = view->verticalScrollBar();
    const int top = bar->value();
    const int first = view->indexAt(QPoint(5, 1)).row();
    const int last = view->indexAt(QPoint(5, viewport()->height() - 2)).row();
    ASSERT_EQ(first, 10);
    ASSERT_GT(last, first + 3);

    // Down onto the last visible row: the row below comes into view.
    QTest::mousePress(viewport(), Qt::LeftButton, {}, rowPoint(first + 1));
    QTest::mouseMove(viewport(), rowPoint(last - 1));
    EXPECT_EQ(bar->value(), top) << "not at the edge yet";
    QTest::mouseMove(viewport(), visiblePoint(last));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, visiblePoint(last));
    EXPECT_GT(bar->value(), top);
    EXPECT_TRUE(viewport()->rect().contains(view->visualRect(files.index(last + 1))));
    EXPECT_EQ(files.text(last + 1), QStringLiteral("row%1").arg(first + 1));

    // Up onto the first visible row: the row above comes into view.
    const int newTop = bar->value();
    const int firstNow = view->indexAt(QPoint(5, 1)).row();
    QTest::mousePress(viewport(), Qt::LeftButton, {}, rowPoint(firstNow + 2));
    QTest::mouseMove(viewport(), rowPoint(firstNow + 1));
    EXPECT_EQ(bar->value(), newTop) << "not at the edge yet";
    QTest::mouseMove(viewport(), rowPoint(firstNow));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, rowPoint(firstNow));
    EXPECT_EQ(bar->value(), newTop - 1);
}

TEST_F(FileListHandlersTest, AMoveWithNoButtonHeldEndsADragWhoseReleaseWasLost) {
    fill(split("A,B,C"));
    QTest::mousePress(viewport(), Qt::LeftButton, {}, rowPoint(0));
    QTest::mouseMove(viewport(), rowPoint(1));
    ASSERT_EQ(files.rows(), split("B,A,C"));
    // A message box took the release; the pointer then passes over the list.
    QTestPrivate::qtestMouseButtons = Qt::NoButton;
    QMouseEvent pass(QEvent::MouseMove, QPointF(rowPoint(2)), QPointF(rowPoint(2)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &pass);
    EXPECT_EQ(files.rows(), split("B,A,C"));
    EXPECT_FALSE(handlers.drag().Dragging());
    EXPECT_EQ(viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(FileListHandlersTest, ReorderingWorksWhileBusyAndLeavesTheHourglass) {
    fill(split("A,B"));
    pointer.set(WindowPointer::Busy);
    dragRow(0, {1});
    EXPECT_EQ(files.rows(), split("B,A"));
    EXPECT_EQ(pointer.state(), WindowPointer::Busy);
    pointer.set(WindowPointer::Custom);
    QMouseEvent hover(QEvent::MouseMove, QPointF(rowPoint(0)), QPointF(rowPoint(0)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &hover);
    EXPECT_EQ(pointer.state(), WindowPointer::Default) << "the list shows the arrow";
}

// --- Removing ---------------------------------------------------------------

TEST_F(FileListHandlersTest, DeleteRemovesTheSelectedRowWithAnyModifiers) {
    fill(split("A,B,C,D"));
    click(1);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(files.rows(), split("A,C,D"));
    click(1);
    QTest::keyClick(view, Qt::Key_Delete, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(files.rows(), split("A,D"));
    click(0);
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(files.rows(), split("A,D"));
    EXPECT_TRUE(prompter.boxes.isEmpty()) << "no questions asked";
}

TEST_F(FileListHandlersTest, DoubleClickRemovesTheSelectedRowWhereverItLands) {
    fill(split("A,B,C"));
    doubleClick(rowPoint(1));
    EXPECT_EQ(files.rows(), split("A,C"));
    click(0);
    doubleClick(belowRows());
    EXPECT_EQ(files.rows(), split("C"));
    EXPECT_EQ(selectedRow(), 0) << "the view selects the next row; a Delete goes on";
}

TEST_F(FileListHandlersTest, NothingIsRemovedWithoutASelection) {
    doubleClick(belowRows());
    QTest::keyClick(view, Qt::Key_Delete);
    handlers.PushButton9_Click();
    fill(split("A,B"));
    view->selectionModel()->clear();
    QTest::keyClick(view, Qt::Key_Delete);
    handlers.ListView1_DblClick();
    EXPECT_EQ(files.rows(), split("A,B"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(FileListHandlersTest, NothingIsRemovedWhileBusy) {
    fill(split("A,B,C"));
    click(1);
    pointer.set(WindowPointer::Busy);
    QTest::keyClick(view, Qt::Key_Delete);
    doubleClick(rowPoint(1));
    handlers.PushButton9_Click();
    EXPECT_EQ(files.rows(), split("A,B,C"));

    pointer.set(WindowPointer::Default);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(files.rows(), split("A,C"));
    handlers.PushButton9_Click();
    EXPECT_EQ(files.count(), 0);
}

// --- Dropping ---------------------------------------------------------------

QMimeData* fileDrag(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

TEST_F(FileListHandlersTest, ADropAddsFilesAndFoldersInTheOrderDropped) {
    touch(QStringLiteral("F/a.ps"));
    touch(QStringLiteral("F/sub/b.txt"));
    touch(QStringLiteral("single.jpg"));
    std::unique_ptr<QMimeData> data(fileDrag({at("F"), at("single.jpg")}));
    pointer.set(WindowPointer::Busy); // drops are taken while busy too
    // The drop goes to the widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(waitFor([&] { return files.count() == 3; }));
    EXPECT_EQ(files.rows(), (QStringList{at("F/a.ps"), at("F/sub/b.txt"), at("single.jpg")}));

    files.clear();
    handlers.ListView1_OLEDragDrop({at("single.jpg"), at("F")});
    EXPECT_EQ(files.rows(), (QStringList{at("single.jpg"), at("F/a.ps"), at("F/sub/b.txt")}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(FileListHandlersTest, DropsAreTakenAsCopiesOnly) {
    touch(QStringLiteral("a.ps"));
    const struct {
        const char* reason;
        Qt::DropActions offered;
        Qt::KeyboardModifiers keys;
        bool taken;
    } rows[] = {
        {"a Shift-drag proposes a move: taken as a copy, so the source deletes nothing",
         Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier, true},
        {"a plain drag is a copy", Qt::CopyAction | Qt::MoveAction, Qt::NoModifier, true},
        {"a source that can only move is refused", Qt::MoveAction, Qt::NoModifier, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        files.clear();
        std::unique_ptr<QMimeData> data(fileDrag({at("a.ps")}));
        QDragEnterEvent enter(QPoint(10, 10), row.offered, data.get(), Qt::LeftButton, row.keys);
        QCoreApplication::sendEvent(viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), row.taken);
        QDropEvent drop(QPointF(10, 10), row.offered, data.get(), Qt::LeftButton, row.keys);
        if (row.keys == Qt::ShiftModifier) {
            ASSERT_EQ(drop.proposedAction(), Qt::MoveAction);
        }
        QCoreApplication::sendEvent(viewport(), &drop);
        EXPECT_EQ(drop.isAccepted(), row.taken);
        if (row.taken) {
            EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
            EXPECT_TRUE(waitFor([&] { return files.count() == 1; }));
        } else {
            QCoreApplication::processEvents();
            EXPECT_EQ(files.count(), 0);
        }
    }
}

TEST_F(FileListHandlersTest, DraggedTextIsRefused) {
    QMimeData text;
    text.setText(QStringLiteral("/etc/hostname"));
    QDragEnterEvent enter(rowPoint(0), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(rowPoint(0)), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(files.count(), 0);

    QMimeData link;
    link.setUrls({QUrl(QStringLiteral("https://example.com/a.ps"))});
    QDragEnterEvent web(QPoint(10, 10), Qt::CopyAction, &link, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &web);
    EXPECT_FALSE(web.isAccepted()) << "only files of this computer";

    std::unique_ptr<QMimeData> data(fileDrag({at("x.ps")}));
    QDragEnterEvent withFiles(rowPoint(0), Qt::CopyAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &withFiles);
    EXPECT_TRUE(withFiles.isAccepted());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(viewport(), &leave);
}

// --- Adding by dialog -------------------------------------------------------

TEST_F(FileListHandlersTest, AddFilesShowsTheDialogAndAppendsItsRows) {
    fill(split("/x/old.ps"));
    prompter.fileAnswers = {
        {QStringLiteral("/d//one.ps")}, {QStringLiteral("/d/b.ps"), QStringLiteral("/d/a.ps")}, {}};
    handlers.PushButton1_Click();
    handlers.PushButton1_Click();
    handlers.PushButton1_Click(); // cancelled
    EXPECT_EQ(files.rows(), (QStringList{"/x/old.ps", "/d//one.ps", "/d/b.ps", "/d/a.ps"}));
    ASSERT_EQ(prompter.boxes.size(), 3);
    EXPECT_EQ(prompter.boxes[0].title,
              QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files"));
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("PS Files (*.ps)"));
    EXPECT_EQ(prompter.boxes[0].preset, QString()) << "no start folder";
}

TEST_F(FileListHandlersTest, TooManyFilesAreRefusedWithAMessage) {
    // The folder "/d", 2,998 names of 9 characters and one of 18:
    // 2 + 2,998 x 10 + 19 = 30,001 characters, one over the room.
    QStringList over;
    for (int i = 0; i < 2999; ++i) {
        over.append(QStringLiteral("/d/%1.ps").arg(i, 6, 10, QLatin1Char('0')));
    }
    over.last() = QStringLiteral("/d/999999999999999.ps");
    ASSERT_EQ(SelectionNameLength(over), kMaxFileSize + 1);
    QStringList under = over;
    under.last() = QStringLiteral("/d/99999999999999.ps");
    ASSERT_EQ(SelectionNameLength(under), kMaxFileSize);

    prompter.fileAnswers = {over, under};
    handlers.PushButton1_Click();
    EXPECT_EQ(files.count(), 0);
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("You've selected too many files to add.\r\rPlease try "
                                         "adding via the \"Add All\" button.")});
    EXPECT_EQ(prompter.boxes.last().title, QString()) << "the application title";
    handlers.PushButton1_Click();
    EXPECT_EQ(files.count(), 2999);
    EXPECT_EQ(prompter.messageTexts().size(), 1);
}

// --- Add All ----------------------------------------------------------------

TEST_F(FileListHandlersTest, AddAllAsksForTheExtensionAndTheFolder) {
    touch(QStringLiteral("F/a.ps"));
    touch(QStringLiteral("F/b.PS"));
    touch(QStringLiteral("F/c.txt"));
    touch(QStringLiteral("F/S1/d.ps"));
    prompter.textAnswers = {QStringLiteral("ps"), QStringLiteral("ps")};
    prompter.folderAnswers = {at("F"), at("F")};
    int busyYields = 0;
    pump.hook = [&](int) {
        busyYields += pointer.state() == WindowPointer::Busy;
        handlers.PushButton9_Click(); // refused while busy
    };
    fill(split("/x/old.ps"));
    handlers.PushButton4_Click();
    handlers.PushButton4_Click();
    const QStringList once{at("F/a.ps"), at("F/b.PS"), at("F/S1/d.ps")};
    EXPECT_EQ(files.rows(), QStringList{"/x/old.ps"} + once + once);
    EXPECT_GT(busyYields, 0) << "the hourglass shows during the walk";
    EXPECT_EQ(pointer.state(), WindowPointer::Default);
    ASSERT_GE(prompter.boxes.size(), 2);
    EXPECT_EQ(prompter.boxes[0].kind, QStringLiteral("askText"));
    EXPECT_EQ(prompter.boxes[0].text,
              QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt "
                             "files, doc for all doc files, etc.)"));
    EXPECT_EQ(prompter.boxes[0].title, QString());
    EXPECT_EQ(prompter.boxes[0].preset, QStringLiteral("ps"));
    EXPECT_EQ(prompter.boxes[1].title, QStringLiteral("Please select folder:"));
    EXPECT_EQ(prompter.boxes[3].preset, at("F")) << "starts where the last pick was";
    EXPECT_EQ(settings.GetSetting(QStringLiteral("LastFolder")), at("F"));
    EXPECT_TRUE(prompter.messageTexts().isEmpty());
}

TEST_F(FileListHandlersTest, TheExtensionIsRememberedEvenWhenNoFolderIsPicked) {
    prompter.textAnswers = {QStringLiteral("txt"), std::nullopt, QStringLiteral("")};
    handlers.PushButton4_Click(); // folder pick cancelled
    handlers.PushButton4_Click(); // prompt cancelled
    handlers.PushButton4_Click(); // empty answer
    ASSERT_EQ(prompter.boxes.size(), 4);
    EXPECT_EQ(prompter.boxes[2].preset, QStringLiteral("txt"));
    EXPECT_EQ(prompter.boxes[3].preset, QStringLiteral("txt"));
    EXPECT_EQ(settings.GetSetting(QStringLiteral("Extension")), QStringLiteral("txt"));
    EXPECT_EQ(files.count(), 0);
    EXPECT_EQ(pointer.state(), WindowPointer::Default);
}

TEST_F(FileListHandlersTest, AddAllLeavesAnotherOperationsHourglassAlone) {
    touch(QStringLiteral("F/a.ps"));
    prompter.textAnswers = {QStringLiteral("*")};
    prompter.folderAnswers = {at("F")};
    pointer.set(WindowPointer::Busy); // a conversion is running
    handlers.PushButton4_Click();
    EXPECT_EQ(files.rows(), QStringList{at("F/a.ps")});
    EXPECT_EQ(pointer.state(), WindowPointer::Busy);
}

TEST_F(FileListHandlersTest, OpenWithAFolderShowsTheHourglassAndGuardsTheList) {
    touch(QStringLiteral("F/S1/b.ps"));
    touch(QStringLiteral("single.ps"));
    fill(split("/x/old.ps"));
    int busyYields = 0;
    pump.hook = [&](int) {
        busyYields += pointer.state() == WindowPointer::Busy;
        handlers.PushButton9_Click(); // refused while busy
    };
    handlers.OpenWith({at("F"), at("single.ps")});
    EXPECT_EQ(files.rows(), (QStringList{"/x/old.ps", at("F/S1/b.ps"), at("single.ps")}));
    EXPECT_GT(busyYields, 0) << "the hourglass shows during the walk";
    EXPECT_EQ(pointer.state(), WindowPointer::Default);
}

// --- Samples ----------------------------------------------------------------

TEST_F(FileListHandlersTest, SamplesAreAddedOnceAndTheQuestionIsAlwaysAsked) {
    const QString samples = program + QStringLiteral("/Samples");
    ASSERT_TRUE(QDir().mkpath(samples));
    for (const char* name : {"one.ps", ".hidden.ps"}) {
        QFile file(samples + QLatin1Char('/') + QString::fromUtf8(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    handlers.PushButton10_Click();
    handlers.PushButton10_Click();
    EXPECT_EQ(files.rows(), (QStringList{samples + "/.hidden.ps", samples + "/one.ps"}));
    const QString question = QStringLiteral(
        "Would you like this software to open the folder where these sample files are stored "
        "(so that you can view them before working with them)?");
    EXPECT_EQ(prompter.messageTexts(), (QStringList{question, question}));
    EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::None);
    EXPECT_EQ(opened, QStringList{samples}) << "only the Yes opens the folder";
}

TEST_F(FileListHandlersTest, WithoutASamplesFolderNothingIsAddedButTheQuestionIsAsked) {
    prompter.answers = {Prompter::Answer::Yes};
    handlers.PushButton10_Click();
    EXPECT_EQ(files.count(), 0);
    ASSERT_EQ(prompter.messageTexts().size(), 1);
    EXPECT_EQ(opened, QStringList{program + QStringLiteral("/Samples")});
}

} // namespace
