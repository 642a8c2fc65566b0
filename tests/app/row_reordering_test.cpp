// Reordering the file list by dragging a row: the moves, the drag pointer and the scrolling.

#include "app/list_view_fixture.h"
#include "app/window_pointer.h"
#include "support/qstring_printer.h"
#include "support/text.h"

#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace velmora;
using test::split;

namespace {

using RowReorderingTest = test::ListViewFixture;

TEST_F(RowReorderingTest, DraggingARowMovesItsPathWithThePointer) {
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

TEST_F(RowReorderingTest, TheListShowsItsDragPointerUntilTheRelease) {
    fill(split("A,B"));
    QTest::mousePress(viewport(), Qt::LeftButton, {}, rowPoint(0));
    EXPECT_TRUE(controls.drag().isDragging());
    EXPECT_EQ(controls.drag().draggedRow(), 0);
    EXPECT_EQ(viewport()->cursor().shape(), Qt::BitmapCursor) << "drag.ico";
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, rowPoint(0));
    EXPECT_FALSE(controls.drag().isDragging());
    EXPECT_EQ(viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(files.rows(), split("A,B")) << "a click moves nothing";
}

TEST_F(RowReorderingTest, AMissingDragPictureKeepsTheListsPointer) {
    QFile::remove(program + QStringLiteral("/drag.ico"));
    fill(split("A,B"));
    dragRow(0, {1});
    EXPECT_EQ(files.rows(), split("B,A"));
    EXPECT_EQ(viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(RowReorderingTest, ARemovedDraggedRowIsDraggedNoMore) {
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

TEST_F(RowReorderingTest, ScrollsOnlyRightAfterAnExchangeAtTheVisibleEdges) {
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

TEST_F(RowReorderingTest, AMoveWithNoButtonHeldEndsADragWhoseReleaseWasLost) {
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
    EXPECT_FALSE(controls.drag().isDragging());
    EXPECT_EQ(viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(RowReorderingTest, ReorderingWorksWhileBusyAndLeavesTheHourglass) {
    fill(split("A,B"));
    {
        const WindowPointer::BusyScope busy(pointer);
        dragRow(0, {1});
        EXPECT_EQ(files.rows(), split("B,A"));
        EXPECT_EQ(pointer.state(), WindowPointer::Busy);
    }
    pointer.set(WindowPointer::Custom);
    QMouseEvent hover(QEvent::MouseMove, QPointF(rowPoint(0)), QPointF(rowPoint(0)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &hover);
    EXPECT_EQ(pointer.state(), WindowPointer::Default) << "the list shows the arrow";
}

TEST_F(RowReorderingTest, AltUpAndAltDownMoveTheSelectedRowByTheDragsRules) {
    const struct {
        const char* rows;
        int selected; // -1: none
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool busy;
        const char* after;
        int selectedAfter;
        const char* reason;
    } table[] = {
        {"A,B,C", 1, Qt::Key_Up, Qt::AltModifier, false, "B,A,C", 0, "up one place"},
        {"A,B,C", 1, Qt::Key_Down, Qt::AltModifier, false, "A,C,B", 2, "down one place"},
        {"A,B,C", 0, Qt::Key_Up, Qt::AltModifier, false, "A,B,C", 0,
         "the first row goes no higher"},
        {"A,B,C", 2, Qt::Key_Down, Qt::AltModifier, false, "A,B,C", 2, "the last goes no lower"},
        {"A,B,C", -1, Qt::Key_Down, Qt::AltModifier, false, "A,B,C", -1, "no row selected"},
        {"A,A,B", 0, Qt::Key_Down, Qt::AltModifier, false, "A,A,B", 0,
         "the same path below: a drag would trade nothing either"},
        {"A,B,C", 1, Qt::Key_Up, Qt::AltModifier | Qt::KeypadModifier, false, "B,A,C", 0,
         "the number pad's arrow"},
        {"A,B,C", 1, Qt::Key_Up, Qt::AltModifier, true, "B,A,C", 0,
         "also while converting, as a drag may"},
        {"A,B,C", 1, Qt::Key_Up, Qt::NoModifier, false, "A,B,C", 0,
         "without Alt the arrow moves the selection only"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.reason);
        files.clear();
        fill(split(row.rows));
        view->selectionModel()->clear();
        if (row.selected >= 0) {
            click(row.selected);
        }
        std::optional<WindowPointer::BusyScope> converting;
        if (row.busy) {
            converting.emplace(pointer);
        }
        QTest::keyClick(view, row.key, row.modifiers);
        EXPECT_EQ(files.rows(), split(row.after));
        EXPECT_EQ(selectedRow(), row.selectedAfter);
        EXPECT_EQ(pointer.state(), row.busy ? WindowPointer::Busy : WindowPointer::Default);
    }
}

TEST_F(RowReorderingTest, ARowMovedByKeyStaysInView) {
    for (int i = 0; i < 40; ++i) {
        files.append(QStringLiteral("row%1").arg(i));
    }
    click(0);
    for (int i = 0; i < 39; ++i) {
        QTest::keyClick(view, Qt::Key_Down, Qt::AltModifier);
    }
    EXPECT_EQ(files.text(40), QStringLiteral("row0"));
    EXPECT_EQ(files.text(1), QStringLiteral("row1"));
    EXPECT_EQ(selectedRow(), 39);
    EXPECT_TRUE(viewport()->rect().contains(view->visualRect(files.index(39))));
}

} // namespace
