// Drops onto the file list: taken as copies, their paths turned into rows.
#include "app/list_drops.h"

#include "base/located_trap.h"
#include "filelist/dropped_paths.h"
#include "filelist/file_list.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>

namespace velmora {

namespace {

// The local files and folders a drag carries, in the order the desktop gave
// them; empty when it carries none (text, web links).
QStringList droppedPaths(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
        }
    }
    return paths;
}

// Takes a drag of local files as a copy, whatever the source proposed: after
// a move (Shift-drag) the file manager would delete the user's files. A
// source that offers no copy is refused.
bool acceptAsCopy(QDropEvent* event) {
    if (droppedPaths(event->mimeData()).isEmpty() ||
        !event->possibleActions().testFlag(Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

ListDrops::ListDrops(QTreeView& view, FileList& files, Prompter& prompter, EventPump& events,
                     QObject* parent)
    : QObject(parent), m_files(files), m_prompter(prompter), m_events(events) {
    view.setAcceptDrops(true);
}

bool ListDrops::dragEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        acceptAsCopy(static_cast<QDragMoveEvent*>(event));
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!acceptAsCopy(drop)) {
            return true;
        }
        const QStringList paths = droppedPaths(drop->mimeData());
        // The rows are made once the drop event has returned, so the desktop's
        // drag ends at once and a long folder walk runs outside it.
        QMetaObject::invokeMethod(
            this, [this, paths] { addDroppedPaths(paths); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

void ListDrops::addDroppedPaths(const QStringList& paths) {
    using Steps = report_location::AddDropped;
    LocatedTrap<Steps> trap(m_prompter);
    const ScanContext context{m_prompter, m_events, m_stopRequested, m_yieldIntervalMs};
    for (const QString& path : paths) {
        trap.step(Steps::kAddPath, [&] {
            m_files.append(DroppedRows(path, context, trap.bind(Steps::kListFolderFiles)));
        });
    }
}

} // namespace velmora
