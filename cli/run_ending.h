#pragma once

#include "base/path_style.h"
#include "convert/run_summary.h"

#include <QString>
#include <QStringList>

namespace velmora {

// What velmora-convert says when a run has ended, in its own line form:
// "Done." (or "Stopped.") and a line "<file>: <reason>" for each file not
// converted fully on stdout; why nothing was converted as one line
// "velmora-convert: ..." on stderr. Never the text of a window's box.
struct RunEnding {
    QString out;
    QString err;
    bool allConverted = false;
};

// Where the run's report could not take a source's line (a full disk),
// that source is named too, and counts as not converted.
struct UnwrittenReport {
    QStringList sources;
    QString reason;
};

RunEnding CommandLineEnding(const RunSummary& summary, const QString& outputFolder,
                            const UnwrittenReport& report = {},
                            PathStyle system = nativePathStyle());

} // namespace velmora
