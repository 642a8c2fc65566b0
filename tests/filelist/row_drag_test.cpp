#include "filelist/file_list.h"
#include "filelist/row_drag.h"
#include "support/qstring_printer.h"
#include "support/text.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmora;
using test::split;

namespace {

struct DragCase {
    const char* reason;
    const char* rows;
    int clicked;            // -1: the press landed on no row
    std::vector<int> moves; // rows under the pointer, one per move event
    const char* after;
    int draggedAfter;
};

class RowDragTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(RowDragTest, ExchangesTextsAsThePointerPasses) {
    const DragCase& c = GetParam();
    FileList list;
    list.append(split(c.rows));
    RowDrag drag(list);
    drag.startDrag();
    drag.grabRow(c.clicked);
    for (const int row : c.moves) {
        drag.moveOnto(row);
    }
    drag.endDrag();
    EXPECT_EQ(list.rows(), split(c.after)) << c.reason;
    EXPECT_EQ(drag.draggedRow(), c.draggedAfter) << c.reason;
    EXPECT_FALSE(drag.isDragging());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowDragTest,
    ::testing::Values(
        DragCase{
            "slowly down: every passed row moves up one", "A,B,C,D", 0, {0, 1, 2, 3}, "B,C,D,A", 3},
        DragCase{"a jump trades only the two rows", "A,B,C,D", 0, {3}, "D,B,C,A", 3},
        DragCase{"slowly up works the same way upwards", "A,B,C,D", 3, {2, 1, 0}, "D,A,B,C", 0},
        DragCase{"equal paths trade nothing", "A,B,A", 0, {2}, "A,B,A", 0},
        DragCase{"no click on a row: nothing to drag", "A,B,C", -1, {1, 2}, "A,B,C", -1},
        DragCase{"over no row: nothing moves, the drag goes on", "A,B,C", 0, {-1, 2}, "C,B,A", 2}));

TEST(RowDrag, MovesWithoutAPressedButtonExchangeNothing) {
    FileList list;
    list.append(split("A,B"));
    RowDrag drag(list);
    drag.startDrag();
    drag.grabRow(0);
    drag.endDrag();
    EXPECT_FALSE(drag.moveOnto(1));
    EXPECT_EQ(list.rows(), split("A,B"));
    EXPECT_EQ(drag.draggedRow(), 0) << "kept after the release until the next grab";
}

TEST(RowDrag, ARemovedDraggedRowCountsAsNone) {
    FileList list;
    list.append(split("A,B,C"));
    RowDrag drag(list);
    drag.startDrag();
    drag.grabRow(1);
    drag.endDrag();
    list.removeRow(1); // Delete on the clicked row
    EXPECT_EQ(drag.draggedRow(), -1);
    drag.startDrag(); // a press on the empty area: no row grabbed
    EXPECT_FALSE(drag.moveOnto(0));
    EXPECT_EQ(list.rows(), split("A,C"));

    drag.grabRow(0);
    list.clear();
    list.append(split("X,Y"));
    EXPECT_EQ(drag.draggedRow(), -1) << "a cleared list forgets the dragged row";
    EXPECT_FALSE(drag.moveOnto(1));
    EXPECT_EQ(list.rows(), split("X,Y"));
}

TEST(RowDrag, FollowsItsRowWhenRowsAboveAreRemoved) {
    FileList list;
    list.append(split("A,B,C,D"));
    RowDrag drag(list);
    drag.startDrag();
    drag.grabRow(2);
    list.removeRow(0);
    EXPECT_EQ(drag.draggedRow(), 1);
    drag.moveOnto(2);
    EXPECT_EQ(list.rows(), split("B,D,C"));
}

// Ten rows of 20 pixels in a view 100 pixels high, showing rows `first` to
// `first` + 4.
DragViewport viewShowing(int first, int pointerY) {
    return DragViewport{pointerY, 100, 20, first, first + 4};
}

struct ScrollCase {
    const char* reason;
    int hoverRow;
    DragViewport view;
    std::optional<int> target;
};

class DragScrollTest : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(DragScrollTest, ScrollsOneRowNearTheEdges) {
    EXPECT_EQ(DragScrollRow(GetParam().hoverRow, 10, GetParam().view), GetParam().target)
        << GetParam().reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DragScrollTest,
    ::testing::Values(
        ScrollCase{"over the top visible row: the row above", 3, viewShowing(3, 10), 2},
        ScrollCase{"over the bottom visible row: the row below", 7, viewShowing(3, 90), 8},
        ScrollCase{"in the middle: nothing", 5, viewShowing(3, 50), std::nullopt},
        ScrollCase{"within a row height of the top on a half-shown row", 4,
                   DragViewport{15, 100, 20, 3, 8}, 3},
        ScrollCase{"within a row height of the bottom edge", 7, DragViewport{85, 100, 20, 3, 8}, 8},
        ScrollCase{"just below the top band: nothing", 4, DragViewport{20, 100, 20, 3, 8},
                   std::nullopt},
        ScrollCase{"never above the first row", 0, viewShowing(0, 5), std::nullopt},
        ScrollCase{"never below the last row", 9, viewShowing(5, 95), std::nullopt}));

} // namespace
