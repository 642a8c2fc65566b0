#pragma once

#include "filelist/folder_scanner.h"
#include "filelist/row_drag.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTreeView>

#include <functional>

namespace velmora {

class EventPump;
class FileList;
class Prompter;
class SettingsStore;
class WindowPointer;

// Everything that fills, edits and reorders the file list on the main window:
// the four list buttons, removing rows by double-click or Delete, dropping
// files and folders from the desktop, and dragging rows into another order.
// It watches the list view (and its viewport) through an event filter.
class FileListHandlers : public QObject {
    Q_OBJECT
public:
    // Opens a folder in the desktop's file manager.
    using FolderOpener = std::function<void(const QString& folder)>;
    static FolderOpener desktopFolderOpener();

    FileListHandlers(QTreeView& ListView1, FileList& files, Prompter& prompter,
                     SettingsStore& settings, WindowPointer& pointer, EventPump& events,
                     QString programFolder, FolderOpener openFolder = desktopFolderOpener(),
                     QObject* parent = nullptr);
    ~FileListHandlers() override;

    // Long folder walks stop early once this says so (the window closing).
    void setStopRequested(std::function<bool()> stopRequested) {
        m_stopRequested = std::move(stopRequested);
    }

    // How often long folder walks let window events run (milliseconds; 0:
    // at every folder).
    void setYieldIntervalMs(int milliseconds) { m_yieldIntervalMs = milliseconds; }

    const RowDrag& drag() const { return m_drag; }

    static QString addFilesTitle();
    static QString addFilesFilter();
    static QString tooManyFilesText();
    static QString extensionPrompt();
    static QString samplesQuestion();

public slots:
    // "Add PS File(s)"
    void PushButton1_Click();
    // "Add All PS File(s) In Folder"
    void PushButton4_Click();
    // "Clear List"
    void PushButton9_Click();
    // "Load Sample/Example Files"
    void PushButton10_Click();

public:
    // The list's own events (the event filter calls them).
    void ListView1_DblClick();
    void ListView1_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ListView1_MouseDown();
    void ListView1_ItemClick(const QModelIndex& index);
    void ListView1_MouseMove(QPoint position);
    void ListView1_MouseUp();
    void ListView1_OLEDragDrop(const QStringList& paths);

    // Files and folders handed over at start-up ("Open with"): added as if
    // dropped, under the hourglass that keeps rows from being removed
    // meanwhile, as "Add All PS File(s) In Folder" does.
    void OpenWith(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool busy() const;
    ScanContext scanContext() const;
    void removeSelectedRow();
    bool viewportEvent(QEvent* event);
    bool keyEvent(QEvent* event);
    int rowAt(QPoint position) const;
    void scrollAfterExchange(int row, QPoint position);

    QPointer<QTreeView> m_view;
    QPointer<QWidget> m_viewport;
    FileList& m_files;
    Prompter& m_prompter;
    SettingsStore& m_settings;
    WindowPointer& m_pointer;
    EventPump& m_events;
    QString m_programFolder;
    FolderOpener m_openFolder;
    std::function<bool()> m_stopRequested;
    int m_yieldIntervalMs = 10;
    RowDrag m_drag;
    // The view is kept from a release whose press (or double-click) it did
    // not see, so it does not act on half a click.
    bool m_swallowRelease = false;
};

} // namespace velmora
