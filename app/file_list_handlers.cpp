#include "app/file_list_handlers.h"

#include "app/folder_browser.h"
#include "app/setting.h"
#include "app/settings_store.h"
#include "app/window_pointer.h"
#include "base/error_trap.h"
#include "base/prompter.h"
#include "filelist/dialog_rows.h"
#include "filelist/dropped_paths.h"
#include "filelist/file_list.h"
#include "filelist/folder_files.h"
#include "filelist/folder_scanner.h"
#include "filelist/sample_files.h"

#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

#include <algorithm>
#include <utility>

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

FileListHandlers::FolderOpener FileListHandlers::desktopFolderOpener() {
    return [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
}

QString FileListHandlers::addFilesTitle() {
    return QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files");
}

QString FileListHandlers::addFilesFilter() {
    return QStringLiteral("PS Files (*.ps)");
}

QString FileListHandlers::tooManyFilesText() {
    return QStringLiteral("You've selected too many files to add.\r\rPlease try adding via the "
                          "\"Add All\" button.");
}

QString FileListHandlers::extensionPrompt() {
    return QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt "
                          "files, doc for all doc files, etc.)");
}

QString FileListHandlers::samplesQuestion() {
    return QStringLiteral("Would you like this software to open the folder where these sample "
                          "files are stored (so that you can view them before working with "
                          "them)?");
}

FileListHandlers::FileListHandlers(QTreeView& ListView1, FileList& files, Prompter& prompter,
                                   SettingsStore& settings, WindowPointer& pointer,
                                   EventPump& events, QString programFolder,
                                   FolderOpener openFolder, QObject* parent)
    : QObject(parent), m_view(&ListView1), m_viewport(ListView1.viewport()), m_files(files),
      m_prompter(prompter), m_settings(settings), m_pointer(pointer), m_events(events),
      m_programFolder(std::move(programFolder)), m_openFolder(std::move(openFolder)),
      m_drag(files) {
    // The list takes files from the desktop; its own rows are never dragged
    // out (a drag inside the list reorders them instead).
    ListView1.setAcceptDrops(true);
    ListView1.setDragEnabled(false);
    m_viewport->setMouseTracking(true);
    ListView1.installEventFilter(this);
    m_viewport->installEventFilter(this);
    // The view reports the row a press landed on once it has selected it.
    connect(&ListView1, &QAbstractItemView::pressed, this, &FileListHandlers::ListView1_ItemClick);
}

FileListHandlers::~FileListHandlers() {
    if (m_viewport) {
        m_viewport->removeEventFilter(this);
    }
    if (m_view) {
        m_view->removeEventFilter(this);
    }
}

// Busy is the window's pointer, not ConversionRun::isConverting(): "Add All"
// shows the hourglass too, and the rows must not shrink under it either.
bool FileListHandlers::busy() const {
    return m_pointer.state() == WindowPointer::Busy;
}

ScanContext FileListHandlers::scanContext() const {
    return ScanContext{m_prompter, m_events, m_stopRequested, m_yieldIntervalMs};
}

// ---------------------------------------------------------------------------
// Buttons

void FileListHandlers::PushButton1_Click() {
    ErrorTrap trap(m_prompter, QStringLiteral("Form1.PushButton1_Click"));
    QStringList picked;
    trap.step(112, [&] { picked = m_prompter.pickFiles(addFilesTitle(), addFilesFilter(), {}); });
    if (trap.test(114, [&] { return picked.isEmpty(); })) {
        return;
    }
    if (!SelectionFits(picked)) {
        m_prompter.message(tooManyFilesText());
        return;
    }
    trap.step(picked.size() == 1 ? 122 : 140, [&] { m_files.append(DialogRows(picked)); });
}

void FileListHandlers::PushButton4_Click() {
    ErrorTrap trap(m_prompter, QStringLiteral("Form1.PushButton4_Click"));
    QString extension;
    trap.step(100, [&] {
        extension = m_prompter.askText(extensionPrompt(), {}, m_settings.read(setting::kExtension))
                        .value_or(QString());
        if (!extension.isEmpty()) {
            m_settings.write(setting::kExtension, extension);
        }
    });
    if (trap.test(102, [&] { return extension.isEmpty(); })) {
        return;
    }
    trap.step(104, [&] { m_settings.write(setting::kExtension, extension); });

    QString folder;
    trap.step(106, [&] {
        folder = BrowseForFolder(m_prompter, QStringLiteral("Please select folder:"),
                                 m_settings.read(setting::kLastFolder));
    });
    if (trap.test(108, [&] { return folder.isEmpty(); })) {
        return;
    }
    trap.step(334, [&] { m_settings.write(setting::kLastFolder, folder); });

    // Another long operation (a conversion) may already show the hourglass;
    // it is that operation's to take away, not ours.
    const bool busyBefore = busy();
    trap.step(114, [&] { m_pointer.set(WindowPointer::Busy); });
    QStringList rows;
    trap.step(118, [&] { rows = CollectFolderFiles(folder, extension, scanContext(), trap); });
    trap.step(134, [&] { m_files.append(rows); });
    trap.step(138, [&] {
        if (!busyBefore) {
            m_pointer.set(WindowPointer::Default);
        }
    });
}

void FileListHandlers::PushButton9_Click() {
    ErrorTrap trap(m_prompter, QStringLiteral("Form1.PushButton9_Click"));
    if (trap.test(100, [&] { return !busy(); })) {
        trap.step(100, [&] { m_files.clear(); });
    }
}

void FileListHandlers::PushButton10_Click() {
    ErrorTrap trap(m_prompter, QStringLiteral("Form1.PushButton10_Click"));
    trap.step(100, [&] {
        LoadSampleFiles(m_files, m_programFolder);
        const Prompter::Answer answer = m_prompter.message(
            samplesQuestion(), {}, Prompter::Buttons::YesNo, Prompter::Icon::None);
        if (answer == Prompter::Answer::Yes && m_openFolder) {
            m_openFolder(SamplesFolder(m_programFolder));
        }
    });
}

// ---------------------------------------------------------------------------
// Removing rows

void FileListHandlers::removeSelectedRow() {
    if (busy() || m_files.count() == 0 || !m_view || m_view->selectionModel() == nullptr) {
        return;
    }
    const QModelIndexList selected = m_view->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return;
    }
    m_files.removeRow(selected.front().row());
}

void FileListHandlers::ListView1_DblClick() {
    removeSelectedRow();
}

void FileListHandlers::ListView1_KeyDown(int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Delete) {
        removeSelectedRow();
    }
}

// ---------------------------------------------------------------------------
// Reordering by drag

void FileListHandlers::ListView1_MouseDown() {
    m_drag.MouseDown();
}

void FileListHandlers::ListView1_ItemClick(const QModelIndex& index) {
    if (m_viewport) {
        // Read afresh at every click; without a readable picture the list
        // keeps the pointer it has.
        QPixmap picture;
        if (picture.load(m_programFolder + QStringLiteral("/drag.ico"))) {
            m_viewport->setCursor(QCursor(picture));
        }
    }
    m_drag.ItemClick(index.isValid() ? index.row() : -1);
}

void FileListHandlers::ListView1_MouseMove(QPoint position) {
    m_pointer.hoverBackground();
    if (!m_drag.Dragging()) {
        return;
    }
    const std::optional<int> moved = m_drag.MouseMove(rowAt(position));
    if (!moved || !m_view) {
        return;
    }
    if (QItemSelectionModel* selection = m_view->selectionModel()) {
        selection->setCurrentIndex(m_files.index(*moved),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    scrollAfterExchange(*moved, position);
}

void FileListHandlers::ListView1_MouseUp() {
    m_drag.MouseUp();
    if (m_viewport) {
        m_viewport->setCursor(Qt::ArrowCursor);
    }
}

// The row whose line the point lies on, wherever across the list it is;
// -1 outside the rows.
int FileListHandlers::rowAt(QPoint position) const {
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

void FileListHandlers::scrollAfterExchange(int row, QPoint position) {
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

// ---------------------------------------------------------------------------
// Dropping files and folders

void FileListHandlers::ListView1_OLEDragDrop(const QStringList& paths) {
    // A path that cannot be read is reported and the drop goes on with the
    // next one; the rows found so far stay.
    ErrorTrap trap(m_prompter, QStringLiteral("Form1.ListView1_OLEDragDrop"));
    const ScanContext context = scanContext();
    for (const QString& path : paths) {
        trap.step(100, [&] { m_files.append(DroppedRows(path, context, trap)); });
    }
}

void FileListHandlers::OpenWith(const QStringList& paths) {
    const bool busyBefore = busy();
    m_pointer.set(WindowPointer::Busy);
    ListView1_OLEDragDrop(paths);
    if (!busyBefore) {
        m_pointer.set(WindowPointer::Default);
    }
}

// ---------------------------------------------------------------------------
// Events

bool FileListHandlers::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_viewport && m_viewport) {
        return viewportEvent(event);
    }
    if (watched == m_view && m_view) {
        return keyEvent(event);
    }
    return false;
}

bool FileListHandlers::keyEvent(QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Delete) {
        return false;
    }
    ListView1_KeyDown(key->key(), key->modifiers());
    return true;
}

bool FileListHandlers::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        ListView1_MouseDown();
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (m_view->indexAt(position).isValid()) {
            return false; // the view selects the row and reports it (ItemClick)
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
        if (m_drag.Dragging() && mouse->buttons() == Qt::NoButton) {
            ListView1_MouseUp();
        }
        ListView1_MouseMove(mouse->position().toPoint());
        // While a row is dragged the view must not also select rows under
        // the pointer or scroll on its own.
        return m_drag.Dragging();
    }
    case QEvent::MouseButtonRelease:
        ListView1_MouseUp();
        return std::exchange(m_swallowRelease, false);
    case QEvent::MouseButtonDblClick:
        ListView1_DblClick();
        m_swallowRelease = true;
        return true;
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
            this, [this, paths] { ListView1_OLEDragDrop(paths); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

} // namespace velmora
