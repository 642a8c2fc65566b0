// Routes the file list view's events to its commands, drops and row reordering.
#include "app/file_list_controls.h"

#include "app/window_pointer.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <utility>

namespace velmora {

FileListControls::FileListControls(QTreeView& view, FileList& files, Prompter& prompter,
                                   SettingsStore& settings, WindowPointer& pointer,
                                   EventPump& events, QString programFolder,
                                   FolderOpener openFolder, QObject* parent)
    : QObject(parent), m_view(&view), m_viewport(view.viewport()), m_pointer(pointer),
      m_drops(view, files, prompter, events),
      m_commands(view, files, prompter, settings, pointer, events, programFolder,
                 std::move(openFolder), m_drops),
      m_reordering(view, files, std::move(programFolder)), m_keyMoves(view, files) {
    view.installEventFilter(this);
    m_viewport->installEventFilter(this);
    // The view reports the row a press landed on once it has selected it.
    connect(&view, &QAbstractItemView::pressed, this,
            [this](const QModelIndex& index) { m_reordering.onRowClicked(index); });
}

FileListControls::~FileListControls() {
    if (m_viewport) {
        m_viewport->removeEventFilter(this);
    }
    if (m_view) {
        m_view->removeEventFilter(this);
    }
}

void FileListControls::setStopRequested(const std::function<bool()>& stopRequested) {
    m_commands.setStopRequested(stopRequested);
    m_drops.setStopRequested(stopRequested);
}

void FileListControls::setYieldIntervalMs(int milliseconds) {
    m_commands.setYieldIntervalMs(milliseconds);
    m_drops.setYieldIntervalMs(milliseconds);
}

bool FileListControls::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_viewport && m_viewport) {
        return viewportEvent(event);
    }
    if (watched == m_view && m_view) {
        return keyEvent(event);
    }
    return false;
}

bool FileListControls::keyEvent(QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    return m_keyMoves.onListKey(*key) || m_commands.onListKey(key->key());
}

bool FileListControls::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        m_reordering.beginRowDrag();
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (m_view->indexAt(position).isValid()) {
            return false; // the view selects the row and reports it (pressed)
        }
        // A click beside the rows keeps the selected row selected (the view
        // would clear it), so a double-click there still removes that row.
        m_view->setFocus(Qt::MouseFocusReason);
        m_swallowRelease = true;
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A release the list never saw (a message box took the mouse while a
        // row was dragged) ends the drag here; otherwise rows would follow
        // the pointer with no button held.
        if (m_reordering.dragging() && mouse->buttons() == Qt::NoButton) {
            m_reordering.endRowDrag();
        }
        // Over the list the arrow shows, unless the window is busy.
        m_pointer.hoverBackground();
        m_reordering.dragRowTo(mouse->position().toPoint());
        // While a row is dragged the view must not also select rows under
        // the pointer or scroll on its own.
        return m_reordering.dragging();
    }
    case QEvent::MouseButtonRelease:
        m_reordering.endRowDrag();
        return std::exchange(m_swallowRelease, false);
    case QEvent::MouseButtonDblClick:
        m_commands.removeSelectedRow();
        m_swallowRelease = true;
        return true;
    default:
        return m_drops.dragEvent(event);
    }
}

} // namespace velmora
