#include "cli/run_ending.h"

namespace velmora {

namespace {

QString ghostscriptAdvice(PathStyle system) {
    return system == PathStyle::Windows
               ? QStringLiteral("install Ghostscript for Windows from "
                                "https://ghostscript.com/releases/gsdnld.html")
               : QStringLiteral("install the package ghostscript (Debian and Ubuntu: sudo apt-get "
                                "install ghostscript)");
}

QString line(const QString& text) {
    return QStringLiteral("velmora-convert: ") + text + QLatin1Char('\n');
}

} // namespace

RunEnding CommandLineEnding(const RunSummary& summary, const QString& outputFolder,
                            const UnwrittenReport& report, PathStyle system) {
    RunEnding ending;
    switch (summary.status) {
    case RunSummary::Status::Converted:
    case RunSummary::Status::StoppedByUser: {
        ending.out = summary.status == RunSummary::Status::StoppedByUser
                         ? QStringLiteral("Stopped.\n")
                         : QStringLiteral("Done.\n");
        for (const FileOutcome& file : summary.files) {
            if (file.failed()) {
                ending.out += file.source + QStringLiteral(": ") + file.failure.text() + '\n';
            }
        }
        for (const QString& source : report.sources) {
            ending.out += QStringLiteral("%1: its line could not be added to the report (%2)\n")
                              .arg(source, report.reason);
        }
        ending.allConverted = summary.allSucceeded() && report.sources.isEmpty();
        break;
    }
    case RunSummary::Status::NoFiles:
        ending.err = line(QStringLiteral("no files to convert"));
        break;
    case RunSummary::Status::NoFolder:
        ending.err = line(outputFolder + QStringLiteral(": No such file or directory"));
        break;
    case RunSummary::Status::MissingGhostscript:
        ending.err = line(QStringLiteral("Ghostscript (the program \"%1\") was not found; %2")
                              .arg(summary.ghostscript, ghostscriptAdvice(system)));
        break;
    case RunSummary::Status::NotPrepared: // its problems were printed as they came
    case RunSummary::Status::Cancelled:
        break;
    }
    return ending;
}

} // namespace velmora
