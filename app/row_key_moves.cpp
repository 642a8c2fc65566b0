#include "app/row_key_moves.h"

#include "filelist/file_list.h"
#include "filelist/row_drag.h"

#include <QItemSelectionModel>
#include <QKeyEvent>

namespace velmora {

RowKeyMoves::RowKeyMoves(QTreeView& view, FileList& files) : m_view(&view), m_files(files) {}

bool RowKeyMoves::onListKey(const QKeyEvent& key) {
    // The arrows of the number pad count as the arrows.
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier) {
        return false;
    }
    if (key.key() == Qt::Key_Up) {
        moveSelectedRow(-1);
        return true;
    }
    if (key.key() == Qt::Key_Down) {
        moveSelectedRow(+1);
        return true;
    }
    return false;
}

bool RowKeyMoves::moveSelectedRow(int step) {
    if (!m_view || m_view->selectionModel() == nullptr) {
        return false;
    }
    const QModelIndexList selected = m_view->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return false;
    }
    // A drag of its own, pressed on the selected row and moved onto its
    // neighbour: the same exchange, the same refusals (no row there, the
    // same path there), and a drag the mouse may have going is left alone.
    RowDrag drag(m_files);
    drag.startDrag();
    drag.grabRow(selected.front().row());
    const std::optional<int> moved = drag.moveOnto(selected.front().row() + step);
    drag.endDrag();
    if (!moved) {
        return false;
    }
    const QModelIndex now = m_files.index(*moved);
    m_view->selectionModel()->setCurrentIndex(now, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
    m_view->scrollTo(now, QAbstractItemView::EnsureVisible);
    return true;
}

} // namespace velmora
