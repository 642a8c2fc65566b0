#include "filelist/row_drag.h"

#include "filelist/file_list.h"

namespace velmora {

int RowDrag::draggedRow() const {
    // A removed row (or a cleared list) leaves the persistent index invalid.
    return m_dragged.isValid() && m_dragged.model() == &m_list ? m_dragged.row() : -1;
}

void RowDrag::grabRow(int row) {
    m_dragged = row >= 0 && row < m_list.count() ? QPersistentModelIndex(m_list.index(row))
                                                 : QPersistentModelIndex();
}

std::optional<int> RowDrag::moveOnto(int row) {
    const int dragged = draggedRow();
    // Equal texts (also the dragged row itself, or another row with the same
    // path) trade nothing.
    if (!m_dragging || row < 0 || row >= m_list.count() || dragged < 0 ||
        m_list.rows().at(row) == m_list.rows().at(dragged)) {
        return std::nullopt;
    }
    m_list.exchange(dragged, row);
    m_dragged = QPersistentModelIndex(m_list.index(row));
    return row;
}

std::optional<int> DragScrollRow(int hoverRow, int rowCount, const DragViewport& view) {
    if (hoverRow < 0 || hoverRow >= rowCount) {
        return std::nullopt;
    }
    const bool nearTop = hoverRow == view.firstVisibleRow || view.pointerY < view.rowHeight;
    const bool nearBottom =
        hoverRow == view.lastVisibleRow || view.pointerY >= view.height - view.rowHeight;
    if (nearTop && hoverRow > 0) {
        return hoverRow - 1;
    }
    if (!nearTop && nearBottom && hoverRow + 1 < rowCount) {
        return hoverRow + 1;
    }
    return std::nullopt;
}

} // namespace velmora
