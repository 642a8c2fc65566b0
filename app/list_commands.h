// The file list's commands: its four buttons, removing a row, files handed over at start-up.
#pragma once

#include "app/folder_opener.h"
#include "filelist/folder_scanner.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTreeView>

#include <functional>

namespace velmora {

class EventPump;
class FileList;
class ListDrops;
class Prompter;
class SettingsStore;
class WindowPointer;

// What the user asks of the list by button or key: "Add PS File(s)", "Add All
// PS File(s) In Folder", "Clear List", "Load Sample/Example Files", removing
// the selected row (double-click or Delete), and the files the desktop hands
// over at start-up. Nothing that would shrink the list runs while the window
// shows the hourglass.
class ListCommands {
public:
    static QString addFilesTitle();
    static QString addFilesFilter();
    static QString tooManyFilesText();
    static QString extensionPrompt();
    static QString samplesQuestion();

    // drops adds the files handed over at start-up, as if they were dropped.
    ListCommands(QTreeView& view, FileList& files, Prompter& prompter, SettingsStore& settings,
                 WindowPointer& pointer, EventPump& events, QString programFolder,
                 FolderOpener openFolder, ListDrops& drops);

    // Long folder walks stop early once this says so (the window closing).
    void setStopRequested(std::function<bool()> stopRequested) {
        m_stopRequested = std::move(stopRequested);
    }
    // How often long folder walks let window events run (milliseconds; 0:
    // at every folder).
    void setYieldIntervalMs(int milliseconds) { m_yieldIntervalMs = milliseconds; }

    // "Add PS File(s)": the files picked in the dialog.
    void addFiles();
    // "Add All PS File(s) In Folder": every file with the extension asked for
    // below the folder picked.
    void addFolder();
    // "Clear List"
    void clearList();
    // "Load Sample/Example Files": the samples beside the program, then the
    // offer to show their folder.
    void loadSamples();

    // Double-click or Delete: the selected row goes.
    void removeSelectedRow();
    // A key pressed on the list; true when it was the list's own (Delete,
    // with any modifiers).
    bool onListKey(int key);

    // Files and folders handed over at start-up ("Open with"): added as if
    // dropped, under the hourglass that keeps rows from being removed
    // meanwhile, as "Add All PS File(s) In Folder" does.
    void openWith(const QStringList& paths);

private:
    bool busy() const;
    ScanContext scanContext() const;

    QPointer<QTreeView> m_view;
    FileList& m_files;
    Prompter& m_prompter;
    SettingsStore& m_settings;
    WindowPointer& m_pointer;
    EventPump& m_events;
    QString m_programFolder;
    FolderOpener m_openFolder;
    ListDrops& m_drops;
    std::function<bool()> m_stopRequested;
    int m_yieldIntervalMs = 10;
};

} // namespace velmora
