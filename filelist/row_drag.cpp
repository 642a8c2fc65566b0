#include "filelist/row_drag.h"

#include "filelist/file_list.h"

namespace velmora {

int RowDrag::DragItem() const {
    // A removed row (or a cleared list) leaves the persistent index invalid.
    return m_dragItem.isValid() && m_dragItem.model() == &m_list ? m_dragItem.row() : -1;
}

void RowDrag::ItemClick(int row) {
    m_dragItem = row >= 0 && row < m_list.count() ? QPersistentModelIndex(m_list.index(row))
                                                  : QPersistentModelIndex();
}

std::optional<int> RowDrag::MouseMove(int hoverRow) {
    if (!m_dragging) {
        return std::nullopt;
    }
    m_hoverItem = hoverRow >= 0 && hoverRow < m_list.count() ? hoverRow : -1;
    std::optional<int> moved;
    const int dragRow = DragItem();
    // Equal texts (also the dragged row itself, or another row with the same
    // path) trade nothing.
    if (m_hoverItem >= 0 && dragRow >= 0 &&
        m_list.rows().at(m_hoverItem) != m_list.rows().at(dragRow)) {
        m_list.exchange(dragRow, m_hoverItem);
        m_dragItem = QPersistentModelIndex(m_list.index(m_hoverItem));
        moved = m_hoverItem;
    }
    m_hoverItem = -1;
    return moved;
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
