#include "convert/run_summary.h"

#include "base/path_style.h"

#include <QStringList>

namespace velmora {

bool RunSummary::allSucceeded() const {
    for (const FileOutcome& file : files) {
        if (file.failed()) {
            return false;
        }
    }
    return status == Status::Converted;
}

QString RunSummary::doneMessage(int maxLines) const {
    QStringList lines;
    for (const FileOutcome& file : files) {
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
    lines.prepend(status == Status::StoppedByUser ? QStringLiteral("Stopped.")
                                                  : QStringLiteral("Done."));
    return lines.join(QLatin1Char('\n'));
}

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

} // namespace

QString RunSummary::message(int maxLines) const {
    switch (status) {
    case Status::Converted:
    case Status::StoppedByUser:
        return doneMessage(maxLines);
    case Status::NoFiles:
        return QStringLiteral("No files added.");
    case Status::NoFolder:
        return QStringLiteral("Folder does not exist. Please select another folder.");
    case Status::MissingGhostscript:
        return QStringLiteral("Ghostscript (the program \"%1\") was not found, so nothing can be "
                              "converted.\n\n%2")
            .arg(ghostscript, ghostscriptAdvice(nativePathStyle()));
    case Status::NotPrepared:
    case Status::Cancelled:
        break;
    }
    return {};
}

} // namespace velmora
