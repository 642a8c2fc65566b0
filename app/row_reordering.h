// Dragging a row up or down the file list to put the rows in another order.
#pragma once

#include "filelist/row_drag.h"

#include <QModelIndex>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTreeView>

namespace velmora {

class FileList;

// Turns the list's mouse events into row moves: a press starts a drag, the
// row the press selected is the one dragged (the pointer shows drag.ico from
// the program folder meanwhile), each move over another row trades the two,
// and the list scrolls when the dragged row reaches its visible edge.
class RowReordering {
public:
    RowReordering(QTreeView& view, FileList& files, QString programFolder);

    const RowDrag& drag() const { return m_drag; }
    bool dragging() const { return m_drag.isDragging(); }

    // A button pressed anywhere on the list.
    void beginRowDrag();
    // The view has selected the row under the press.
    void onRowClicked(const QModelIndex& index);
    // The pointer moved to position (viewport coordinates) while dragging.
    void dragRowTo(QPoint position);
    // The button was released (or a release was missed).
    void endRowDrag();

private:
    int rowAt(QPoint position) const;
    void scrollAfterExchange(int row, QPoint position);

    QPointer<QTreeView> m_view;
    QPointer<QWidget> m_viewport;
    FileList& m_files;
    QString m_programFolder;
    RowDrag m_drag;
};

} // namespace velmora
