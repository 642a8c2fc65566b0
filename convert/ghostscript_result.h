#pragma once

#include <QString>

#include <chrono>

namespace velmora {

// How one Ghostscript run ended.
enum class GhostscriptEnding {
    Exited,         // it ended by itself; exitStatus says how
    FailedToStart,  // its script could not be started
    Stopped,        // the user or the program stopped it
    NoProgress,     // it wrote nothing new for the no-progress limit
    OverWriteLimit, // it wrote more than its stage may
    DiskNearlyFull, // a disk the run writes to fell under its reserve
    TimeLimit,      // its document took longer than a document may
};

// What one Ghostscript run came to, decided once when it ends.
struct GhostscriptResult {
    GhostscriptEnding ending = GhostscriptEnding::Exited;
    int exitStatus = 0;        // with Exited: the script's (and so Ghostscript's) status
    int pagesReported = 0;     // finished pages (PostScript stage) or begun pages (JPEG stage)
    int pagesBeforeError = -1; // pages reported before Ghostscript's first error line; -1: none
    QString errorLine;         // Ghostscript's own words on why it failed; may be empty
    QString launchError;       // with FailedToStart: the system's reason
    // The limit that ended it: NoProgress and TimeLimit a time, OverWriteLimit
    // the bytes it may write.
    std::chrono::milliseconds limitTime{0};
    qint64 limitBytes = 0;

    bool succeeded() const { return ending == GhostscriptEnding::Exited && exitStatus == 0; }
    // Whether it ran to its own end, well or not (and so left complete files).
    bool exited() const { return ending == GhostscriptEnding::Exited; }
};

} // namespace velmora
