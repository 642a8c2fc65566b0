#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// What became of one source file in a run.
struct FileOutcome {
    QString source;
    int pages = 0;              // page images Ghostscript produced
    int delivered = 0;          // pages placed in the output folder
    int expectedPages = -1;     // from the document's own "%%Pages:" comment; -1 unknown
    QString failure;            // empty when the file converted fully
    QStringList deliveredPaths; // where its pages went, in page order
    double seconds = 0;         // from the file's start to its end

    bool failed() const { return !failure.isEmpty(); }
};

} // namespace velmora
