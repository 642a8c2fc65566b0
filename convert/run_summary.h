#pragma once

#include "convert/file_outcome.h"

#include <QList>
#include <QString>

namespace velmora {

// What one press of "Start Converting To JPG" did.
struct RunSummary {
    enum class Status {
        Converted,
        NoFiles,
        NoFolder,
        MissingGhostscript,
        NotPrepared,   // the work folder could not be prepared (e.g. ps/ missing)
        Cancelled,     // the window closed or the program was told to end
        StoppedByUser, // the user asked to stop; what was delivered stays
    };
    Status status = Status::Converted;
    QList<FileOutcome> files;
    bool sandboxed = true;  // every Ghostscript of the run ran inside the sandbox
    QString sandboxMissing; // why it did not, when it did not
    QString ghostscript;    // the program asked for, named when it is missing

    bool allSucceeded() const;
    // "Done." (or "Stopped.") and one line for each file that failed; with
    // maxLines above 0, at most that many lines and then "and N more".
    QString doneMessage(int maxLines = 0) const;
    // What the user is told at the end: the "Done." message, why nothing
    // was started, or nothing (a cancelled run, one whose problems were
    // already reported).
    QString message(int maxLines = 0) const;
};

} // namespace velmora
