#pragma once

#include <QPersistentModelIndex>

#include <optional>

namespace velmora {

class FileList;

// Reordering rows by dragging: a press starts the drag, the click on a row
// grabs it, and each move onto another row trades the two rows' texts, so
// the dragged path travels with the pointer. Rows are referred to by 0-based
// position; -1 means none.
class RowDrag {
public:
    explicit RowDrag(FileList& list) : m_list(list) {}

    bool isDragging() const { return m_dragging; }
    // The row holding the dragged path; -1 when none or when that row has
    // since been removed (or the list cleared).
    int draggedRow() const;

    void startDrag() { m_dragging = true; }
    // Names the row whose path is dragged (-1 or a row past the end: none);
    // it stays named after the drag ends, until the next grab.
    void grabRow(int row);
    // While dragging, the pointer is over `row` (-1: over no row). Returns the
    // row that now holds the dragged path when the texts were exchanged,
    // nullopt otherwise.
    std::optional<int> moveOnto(int row);
    void endDrag() { m_dragging = false; }

private:
    FileList& m_list;
    bool m_dragging = false;
    QPersistentModelIndex m_dragged;
};

// Where the view stands when the dragged path has just moved to hoverRow.
struct DragViewport {
    int pointerY = 0;  // over the view's rows, from their top edge
    int height = 0;    // of the area that shows the rows
    int rowHeight = 0; // of one row
    int firstVisibleRow = -1;
    int lastVisibleRow = -1;
};

// The row to scroll into view right after an exchange onto hoverRow: the one
// above when the pointer is over the first visible row or within one row
// height of the top edge, else the one below when it is over the last visible
// row or within one row height of the bottom edge; never beyond the first or
// last row. nullopt: no scrolling.
std::optional<int> DragScrollRow(int hoverRow, int rowCount, const DragViewport& view);

} // namespace velmora
