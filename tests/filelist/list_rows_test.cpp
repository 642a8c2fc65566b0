// The list's rows: those the file dialog gives, the samples, and dragging a
// row to another place.
#include "filelist/dialog_rows.h"
#include "filelist/file_list.h"
#include "filelist/row_drag.h"
#include "filelist/sample_files.h"
#include "support/qstring_printer.h"
#include "support/temp_tree.h"
#include "support/text.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmora;
using test::split;

namespace {

// One file is taken as picked, several are tidied; the answer's length
// counts the folder once and each name with its separator.
TEST(DialogRows, RowsAndTheAnswersLength) {
    const struct {
        const char* picked;
        const char* rows;
        qsizetype length;
        const char* why;
    } rows[] = {
        {"/scans//a.ps", "/scans//a.ps", 12, "one file stays exactly as picked: its full path"},
        {"/s/c.ps,/s/a.ps,/s/bb.ps", "/s/c.ps,/s/a.ps,/s/bb.ps", 2 + 5 + 5 + 6,
         "the dialog's order, not sorted; the folder without its closing separator"},
        {"//a.ps,//b.ps", "/a.ps,/b.ps", 1 + 5 + 5, "several in the root get a single separator"},
        {"/a.ps,/b.ps", "/a.ps,/b.ps", 1 + 5 + 5, "the root keeps its separator"},
        {"/s/a.ps,/s//b.ps", "/s/a.ps,/s/b.ps", 2 + 5 + 5, "several lose doubled separators"},
        {"/d/a.ps,/d/a.ps", "/d/a.ps,/d/a.ps", 2 + 5 + 5, "the same file twice gives two rows"},
        {"", "", 0, "nothing picked"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DialogRows(split(row.picked)), split(row.rows)) << row.why;
        EXPECT_EQ(SelectionNameLength(split(row.picked)), row.length) << row.why;
    }
    EXPECT_TRUE(SelectionFits({QString(kMaxFileSize, QLatin1Char('n'))}));
    EXPECT_FALSE(SelectionFits({QString(kMaxFileSize + 1, QLatin1Char('n'))})) << "just over";
}

TEST(RowDrag, ExchangesTextsAsThePointerPasses) {
    const struct {
        const char* rows;
        int clicked;            // -1: the press landed on no row
        std::vector<int> moves; // the row under the pointer at each move (-1: none)
        const char* after;
        int draggedAfter;
        const char* why;
    } rows[] = {
        {"A,B,C,D", 0, {0, 1, 2, 3}, "B,C,D,A", 3, "slowly down: every passed row moves up one"},
        {"A,B,C,D", 0, {3}, "D,B,C,A", 3, "a jump trades only the two rows"},
        {"A,B,C,D", 3, {2, 1, 0}, "D,A,B,C", 0, "slowly up works the same way upwards"},
        {"A,B,A", 0, {2}, "A,B,A", 0, "equal paths trade nothing"},
        {"A,B,C", -1, {1, 2}, "A,B,C", -1, "no click on a row: nothing to drag"},
        {"A,B,C", 3, {1, 2}, "A,B,C", -1, "a click past the last row: nothing to drag"},
        {"A,B,C", 0, {-1, 3, 2}, "C,B,A", 2, "over no row: nothing moves, the drag goes on"},
    };
    for (const auto& row : rows) {
        FileList list;
        list.append(split(row.rows));
        RowDrag drag(list);
        drag.startDrag();
        drag.grabRow(row.clicked);
        for (const int over : row.moves) {
            drag.moveOnto(over);
        }
        drag.endDrag();
        EXPECT_EQ(list.rows(), split(row.after)) << row.why;
        EXPECT_EQ(drag.draggedRow(), row.draggedAfter) << row.why;
        EXPECT_FALSE(drag.isDragging());
    }
}

TEST(RowDrag, TheDraggedRowFollowsTheListUntilItGoes) {
    FileList list;
    list.append(split("A,B,C,D"));
    RowDrag drag(list);
    drag.startDrag();
    drag.grabRow(2);
    drag.endDrag();
    EXPECT_FALSE(drag.moveOnto(1)) << "no button pressed: no exchange";
    EXPECT_EQ(drag.draggedRow(), 2) << "kept after the release until the next grab";
    list.removeRow(0);
    EXPECT_EQ(drag.draggedRow(), 1) << "a row above it went";
    drag.startDrag();
    EXPECT_EQ(drag.moveOnto(2), 2) << "the row now holding the dragged path";

    list.removeRow(2); // Delete on the dragged row
    EXPECT_EQ(drag.draggedRow(), -1) << "a removed row is none";
    drag.grabRow(0);
    list.clear();
    list.append(split("X,Y"));
    EXPECT_EQ(drag.draggedRow(), -1) << "a cleared list forgets the dragged row";
}

TEST(RowDrag, ScrollsOneRowNearTheEdges) {
    // Ten rows of 20 pixels in a view 100 pixels high.
    constexpr int kRows = 10;
    const auto showing = [](int first, int pointerY) {
        return DragViewport{pointerY, 100, 20, first, first + 4};
    };
    const struct {
        int hoverRow;
        DragViewport view;
        std::optional<int> target;
        const char* why;
    } rows[] = {
        {3, showing(3, 10), 2, "over the top visible row: the row above"},
        {7, showing(3, 90), 8, "over the bottom visible row: the row below"},
        {5, showing(3, 50), std::nullopt, "in the middle: nothing"},
        {4, DragViewport{15, 100, 20, 3, 8}, 3, "within a row height of the top, half shown"},
        {7, DragViewport{85, 100, 20, 3, 8}, 8, "within a row height of the bottom edge"},
        {4, DragViewport{20, 100, 20, 3, 8}, std::nullopt, "just below the top band: nothing"},
        {0, showing(0, 5), std::nullopt, "never above the first row"},
        {9, showing(5, 95), std::nullopt, "never below the last row"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DragScrollRow(row.hoverRow, kRows, row.view), row.target) << row.why;
    }
}

TEST(SampleFiles, AddsEveryFileDirectlyInTheFolderThatIsNotListedExactly) {
    const test::TempTree program;
    FileList list;
    EXPECT_EQ(LoadSampleFiles(list, program.path()), 0) << "no Samples folder: nothing";
    program.touchAll({"Samples/b.ps", "Samples/a.eps", "Samples/.hidden.ps", "Samples/README",
                      "Samples/inner/c.ps"});
    const auto sample = [&](const char* name) {
        return SamplesFolder(program.path()) + '/' + name;
    };
    // Listed already: one exactly, one in other letter case, one longer.
    list.append(QStringList{sample("a.eps"), sample("B.PS"), sample("README.txt")});
    EXPECT_EQ(LoadSampleFiles(list, program.path()), 3) << "hidden ones too, no subfolder's";
    EXPECT_EQ(list.rows(), (QStringList{sample("a.eps"), sample("B.PS"), sample("README.txt"),
                                        sample(".hidden.ps"), sample("b.ps"), sample("README")}));
    EXPECT_EQ(LoadSampleFiles(list, program.path()), 0) << "a second load adds nothing";
    EXPECT_EQ(list.count(), 6);
    EXPECT_EQ(SamplesFolder(QStringLiteral("/")), QStringLiteral("/Samples")) << "one separator";
}

} // namespace
