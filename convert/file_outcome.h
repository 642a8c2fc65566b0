#pragma once

#include "convert/file_failure.h"

#include <QString>
#include <QStringList>

namespace velmora {

// What became of one source file in a run.
struct FileOutcome {
    static constexpr int kUnknown = -1;

    QString source;
    int pages = 0;                // whole pages of the document that Ghostscript made
    int delivered = 0;            // pages placed in the output folder
    int expectedPages = kUnknown; // from the document's own "%%Pages:" comment
    FileFailure failure;          // None when the file converted fully
    QStringList deliveredPaths;   // where its pages went, in page order
    double seconds = 0;           // from the file's start to its end
    // The source as it was opened, so a later run can tell whether it has
    // changed since: its size in bytes and its modification time in seconds
    // since the epoch; unknown when it was never opened.
    qint64 size = kUnknown;
    qint64 mtime = kUnknown;

    bool failed() const { return failure.failed(); }
};

} // namespace velmora
