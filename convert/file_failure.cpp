#include "convert/file_failure.h"

namespace velmora {

namespace {

constexpr qint64 kBytesPerMB = 1024 * 1024;

QString seconds(std::chrono::milliseconds time) {
    return QString::number(std::chrono::duration<double>(time).count());
}

} // namespace

QString FileFailure::text() const {
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::NotRegularFile:
        return QStringLiteral("not a regular file");
    case Kind::EmptyFile:
        return QStringLiteral("empty file");
    case Kind::Unreadable:
    case Kind::NotCopied:
    case Kind::GhostscriptError:
        return detail;
    case Kind::CouldNotRun:
        return QStringLiteral("could not run %1 (%2)").arg(detail, reason);
    case Kind::GhostscriptStatus:
        return QStringLiteral("Ghostscript ended with status %1").arg(exitStatus);
    case Kind::NotADocument:
        return detail.isEmpty()
                   ? QStringLiteral("not a PostScript or PDF file (Ghostscript ended "
                                    "with status %1)")
                         .arg(exitStatus)
                   : QStringLiteral("not a PostScript or PDF file (Ghostscript: %1)").arg(detail);
    case Kind::NoProgress:
        return QStringLiteral("no progress for %1 s").arg(seconds(limitTime));
    case Kind::OverWriteLimit:
        return QStringLiteral("wrote more than %1 MB").arg(limitBytes / kBytesPerMB);
    case Kind::DiskNearlyFull:
        return QStringLiteral("disk nearly full");
    case Kind::TimeLimit:
        return QStringLiteral("took more than %1 s").arg(seconds(limitTime));
    case Kind::Stopped:
        return QStringLiteral("stopped");
    case Kind::NoPage:
        return QStringLiteral("no page");
    case Kind::PagesMissing:
        return QStringLiteral("%1 of %2 pages").arg(pages).arg(outOf);
    case Kind::PagesNotSaved:
        return QStringLiteral("%1 of %2 pages could not be saved").arg(pages).arg(outOf);
    case Kind::ReplacedByLater:
        return QStringLiteral("its pages were replaced by those of %1 (same names in %2)")
            .arg(detail, reason);
    }
    return {};
}

FileFailure FileFailure::fromGhostscript(const GhostscriptResult& result, const QString& script) {
    FileFailure failure;
    switch (result.ending) {
    case GhostscriptEnding::Exited:
        if (result.exitStatus == 0) {
            return {};
        }
        if (!result.errorLine.isEmpty()) {
            return of(Kind::GhostscriptError, result.errorLine);
        }
        failure.kind = Kind::GhostscriptStatus;
        failure.exitStatus = result.exitStatus;
        return failure;
    case GhostscriptEnding::FailedToStart:
        failure = of(Kind::CouldNotRun, script);
        failure.reason = result.launchError;
        return failure;
    case GhostscriptEnding::NoProgress:
        failure.kind = Kind::NoProgress;
        failure.limitTime = result.limitTime;
        return failure;
    case GhostscriptEnding::OverWriteLimit:
        failure.kind = Kind::OverWriteLimit;
        failure.limitBytes = result.limitBytes;
        return failure;
    case GhostscriptEnding::TimeLimit:
        return timeLimit(result.limitTime);
    case GhostscriptEnding::Stopped:
    case GhostscriptEnding::DiskNearlyFull:
        break;
    }
    return fromEnding(result.ending);
}

FileFailure FileFailure::timeLimit(std::chrono::milliseconds limit) {
    FileFailure failure = of(Kind::TimeLimit);
    failure.limitTime = limit;
    return failure;
}

FileFailure FileFailure::pageCount(Kind kind, int pages, int outOf) {
    FileFailure failure = of(kind);
    failure.pages = pages;
    failure.outOf = outOf;
    return failure;
}

FileFailure FileFailure::ofNonDocument() const {
    if (kind != Kind::GhostscriptError && kind != Kind::GhostscriptStatus) {
        return *this;
    }
    FileFailure failure = *this;
    failure.kind = Kind::NotADocument;
    return failure;
}

FileFailure FileFailure::replacedBy(const QString& later, const QString& folder) {
    FileFailure failure = of(Kind::ReplacedByLater, later);
    failure.reason = folder;
    return failure;
}

FileFailure FileFailure::fromEnding(GhostscriptEnding ending) {
    return of(ending == GhostscriptEnding::DiskNearlyFull ? Kind::DiskNearlyFull : Kind::Stopped);
}

} // namespace velmora
