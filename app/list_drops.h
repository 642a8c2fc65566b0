// Files and folders dragged from the desktop and dropped onto the file list.
#pragma once

#include "filelist/folder_scanner.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QEvent;
class QTreeView;

namespace velmora {

class EventPump;
class FileList;
class Prompter;

// Takes drags of local files as copies and adds a dropped file as one row, a
// dropped folder as every file below it. Drops are taken while the window is
// busy too: they only append rows.
class ListDrops : public QObject {
    Q_OBJECT
public:
    ListDrops(QTreeView& view, FileList& files, Prompter& prompter, EventPump& events,
              QObject* parent = nullptr);

    // Long folder walks stop early once this says so (the window closing).
    void setStopRequested(std::function<bool()> stopRequested) {
        m_stopRequested = std::move(stopRequested);
    }
    // How often long folder walks let window events run (milliseconds; 0:
    // at every folder).
    void setYieldIntervalMs(int milliseconds) { m_yieldIntervalMs = milliseconds; }

    // A drag entering, crossing or dropping onto the list's viewport; false
    // for every other event.
    bool dragEvent(QEvent* event);

    // The rows of the paths in the order given; a path that cannot be read is
    // reported and the rest still added.
    void addDroppedPaths(const QStringList& paths);

private:
    FileList& m_files;
    Prompter& m_prompter;
    EventPump& m_events;
    std::function<bool()> m_stopRequested;
    int m_yieldIntervalMs = 10;
};

} // namespace velmora
