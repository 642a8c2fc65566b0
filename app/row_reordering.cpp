// Row moves and edge scrolling while a row of the file list is dragged.
#include "app/row_reordering.h"

#include "filelist/file_list.h"

#include <QCursor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPixmap>

#include <algorithm>
#include <utility>

namespace velmora {

RowReordering::RowReordering(QTreeView& view, FileList& files, QString programFolder)
    : m_view(&view), m_viewport(view.viewport()), m_files(files),
      m_programFolder(std::move(programFolder)), m_drag(files) {
    // The list's own rows are never dragged out; a drag inside the list
    // reorders them instead.
    view.setDragEnabled(false);
    m_viewport->setMouseTracking(true);
}

void RowReordering::beginRowDrag() {
    m_drag.startDrag();
}

void RowReordering::onRowClicked(const QModelIndex& index) {
    if (m_viewport) {
        // Read afresh at every click; without a readable picture the list
        // keeps the pointer it has.
        QPixmap picture;
        if (picture.load(m_programFolder + QStringLiteral("/drag.ico"))) {
            m_viewport->setCursor(QCursor(picture));
        }
    }
    m_drag.grabRow(index.isValid() ? index.row() : -1);
}

void RowReordering::dragRowTo(QPoint position) {
    if (!m_drag.isDragging()) {
        return;
    }
    const std::optional<int> moved = m_drag.moveOnto(rowAt(position));
    if (!moved || !m_view) {
        return;
    }
    if (QItemSelectionModel* selection = m_view->selectionModel()) {
        selection->setCurrentIndex(m_files.index(*moved),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    scrollAfterExchange(*moved, position);
}

void RowReordering::endRowDrag() {
    m_drag.endDrag();
    if (m_viewport) {
        m_viewport->setCursor(Qt::ArrowCursor);
    }
}

// The row whose line the point lies on, wherever across the list it is;
// -1 outside the rows.
int RowReordering::rowAt(QPoint position) const {
    if (!m_view || !m_viewport || !m_viewport->rect().contains(position)) {
        return -1;
    }
    const QHeaderView* header = m_view->header();
    const int left = std::max(0, header->sectionViewportPosition(0));
    const int right =
        std::min(m_viewport->width(), header->sectionViewportPosition(0) + header->sectionSize(0)) -
        1;
    const int x = right >= left ? std::clamp(position.x(), left, right) : position.x();
    const QModelIndex index = m_view->indexAt(QPoint(x, position.y()));
    return index.isValid() ? index.row() : -1;
}

void RowReordering::scrollAfterExchange(int row, QPoint position) {
    if (!m_viewport) {
        return;
    }
    const int height = m_viewport->height();
    DragViewport view;
    view.pointerY = position.y();
    view.height = height;
    view.rowHeight = m_view->visualRect(m_files.index(row)).height();
    view.firstVisibleRow = rowAt(QPoint(position.x(), 0));
    const int bottom = rowAt(QPoint(position.x(), height - 1));
    view.lastVisibleRow = bottom >= 0 ? bottom : m_files.count() - 1;
    if (const std::optional<int> target = DragScrollRow(row, m_files.count(), view)) {
        m_view->scrollTo(m_files.index(*target), QAbstractItemView::EnsureVisible);
    }
}

} // namespace velmora
