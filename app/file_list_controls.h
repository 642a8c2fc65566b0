// The file list's controls: its commands, drops and row reordering, fed by the list's events.
#pragma once

#include "app/list_commands.h"
#include "app/list_drops.h"
#include "app/row_key_moves.h"
#include "app/row_reordering.h"

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

// Everything that fills, edits and reorders the file list on the main window.
// It watches the list view and its viewport through an event filter and hands
// each event to the part it concerns: keys and double-clicks to the commands,
// drags from the desktop to the drops, presses and moves to the reordering,
// Alt+Up and Alt+Down to the row moves by key.
class FileListControls : public QObject {
    Q_OBJECT
public:
    FileListControls(QTreeView& view, FileList& files, Prompter& prompter, SettingsStore& settings,
                     WindowPointer& pointer, EventPump& events, QString programFolder,
                     FolderOpener openFolder = DesktopFolderOpener(), QObject* parent = nullptr);
    ~FileListControls() override;

    // Long folder walks stop early once this says so (the window closing).
    void setStopRequested(const std::function<bool()>& stopRequested);
    // How often long folder walks let window events run (milliseconds; 0:
    // at every folder).
    void setYieldIntervalMs(int milliseconds);

    const RowDrag& drag() const { return m_reordering.drag(); }

    // The rows of dropped files and folders, as a drop onto the list adds them.
    void addDroppedPaths(const QStringList& paths) { m_drops.addDroppedPaths(paths); }
    // Files and folders handed over at start-up ("Open with").
    void openWith(const QStringList& paths) { m_commands.openWith(paths); }

    ListCommands& commands() { return m_commands; }
    ListDrops& drops() { return m_drops; }
    RowReordering& reordering() { return m_reordering; }
    RowKeyMoves& keyMoves() { return m_keyMoves; }

public slots:
    // "Add PS File(s)"
    void addFiles() { m_commands.addFiles(); }
    // "Add All PS File(s) In Folder"
    void addFolder() { m_commands.addFolder(); }
    // "Clear List"
    void clearList() { m_commands.clearList(); }
    // "Load Sample/Example Files"
    void loadSamples() { m_commands.loadSamples(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool viewportEvent(QEvent* event);
    bool keyEvent(QEvent* event);

    QPointer<QTreeView> m_view;
    QPointer<QWidget> m_viewport;
    WindowPointer& m_pointer;
    ListDrops m_drops;
    ListCommands m_commands; // after the drops: hands start-up files to them
    RowReordering m_reordering;
    RowKeyMoves m_keyMoves;
    // The view is kept from a release whose press (or double-click) it did
    // not see, so it does not act on half a click.
    bool m_swallowRelease = false;
};

} // namespace velmora
