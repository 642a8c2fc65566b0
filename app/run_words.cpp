#include "app/run_words.h"

#include "base/path_helpers.h"

#include <QStringList>

namespace velmora {

namespace {

// Where users of each system get Ghostscript.
QString ghostscriptAdvice(PathStyle system) {
    if (system == PathStyle::Windows) {
        return QStringLiteral("Please install Ghostscript for Windows (the 64-bit installer from "
                              "https://ghostscript.com/releases/gsdnld.html) and try again.");
    }
    return QStringLiteral(
        "Please install it (on Debian or Ubuntu: sudo apt-get install ghostscript) and try again.");
}

QString doneText(const RunSummary& summary, int maxLines) {
    QStringList lines;
    for (const FileOutcome& file : summary.files) {
        if (file.failed()) {
            lines.append(file.source + QStringLiteral(": ") + file.failure.text());
        }
    }
    // A box of hundreds of lines would not fit on the screen.
    if (maxLines > 0 && lines.size() > maxLines) {
        const qsizetype more = lines.size() - maxLines;
        lines.resize(maxLines);
        lines.append(QStringLiteral("and %1 more").arg(more));
    }
    lines.prepend(summary.status == RunSummary::Status::StoppedByUser ? QStringLiteral("Stopped.")
                                                                      : QStringLiteral("Done."));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString EndBoxText(const RunSummary& summary, int maxLines, PathStyle system) {
    switch (summary.status) {
    case RunSummary::Status::Converted:
    case RunSummary::Status::StoppedByUser:
        return doneText(summary, maxLines);
    case RunSummary::Status::NoFiles:
        return QStringLiteral("No files added.");
    case RunSummary::Status::NoFolder:
        return QStringLiteral("Folder does not exist. Please select another folder.");
    case RunSummary::Status::MissingGhostscript:
        return QStringLiteral("Ghostscript (the program \"%1\") was not found, so nothing can be "
                              "converted.\n\n%2")
            .arg(summary.ghostscript, ghostscriptAdvice(system));
    case RunSummary::Status::NotPrepared:
    case RunSummary::Status::Cancelled:
        break;
    }
    return {};
}

QString ProgressBarText(const RunProgress& progress, PathStyle style) {
    if (progress.source.isEmpty()) {
        return {};
    }
    // While files are processed, the bar says how to stop.
    return QStringLiteral("Processing: ") + GetFileName(progress.source, style) +
           QStringLiteral(" (Esc to stop)");
}

} // namespace velmora
