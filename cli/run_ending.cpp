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
        QString done = summary.doneMessage();
        for (const QString& source : report.sources) {
            done += QStringLiteral("\n%1: its line could not be added to the report (%2)")
                        .arg(source, report.reason);
        }
        ending.out = done + QLatin1Char('\n');
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
