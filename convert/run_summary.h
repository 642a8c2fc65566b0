#pragma once

#include "convert/file_outcome.h"

#include <QList>
#include <QString>

namespace velmora {

// What one press of "Start Converting To JPG" did, as values: each host
// words it its own way.
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
    bool anyFailed() const;
};

} // namespace velmora
