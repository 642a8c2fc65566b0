#pragma once

#include "convert/file_failure.h"

#include <QString>
#include <QStringList>

namespace velmora {

// What became of one source file in a run.
struct FileOutcome {
    QString source;
    int pages = 0;              // whole pages of the document that Ghostscript made
    int delivered = 0;          // pages placed in the output folder
    int expectedPages = -1;     // from the document's own "%%Pages:" comment; -1 unknown
    FileFailure failure;        // None when the file converted fully
    QStringList deliveredPaths; // where its pages went, in page order
    double seconds = 0;         // from the file's start to its end

    bool failed() const { return failure.failed(); }
};

} // namespace velmora
