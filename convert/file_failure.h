#pragma once

#include "convert/ghostscript_result.h"

#include <QString>

#include <chrono>

namespace velmora {

// Why a source did not convert fully, as a value; FileFailure::text() gives
// the words the user reads after "Done." and in the report.
struct FileFailure {
    enum class Kind {
        None,
        NotRegularFile,    // a FIFO, socket, device or folder
        EmptyFile,         // nothing to convert
        Unreadable,        // detail: the system's reason ("No such file or directory")
        NotCopied,         // detail: why the source could not be copied in
        CouldNotRun,       // detail: the script; reason: the system's words
        GhostscriptError,  // detail: Ghostscript's error line
        GhostscriptStatus, // exitStatus, where Ghostscript said no more
        // Either of the two above, for a source that does not even begin like
        // a document: detail is Ghostscript's line, or empty and exitStatus set.
        NotADocument,
        NoProgress,     // limitTime
        OverWriteLimit, // limitBytes
        DiskNearlyFull,
        TimeLimit, // limitTime
        Stopped,
        NoPage,
        PagesMissing,  // only `pages` of `outOf` pages were made
        PagesNotSaved, // `pages` of `outOf` pages could not be placed
        // detail: the later source whose pages of the same names replaced
        // this one's; reason: the folder they are in
        ReplacedByLater,
    };

    Kind kind = Kind::None;
    QString detail;
    QString reason;
    int exitStatus = 0;
    std::chrono::milliseconds limitTime{0};
    qint64 limitBytes = 0;
    int pages = 0;
    int outOf = 0;

    bool failed() const { return kind != Kind::None; }
    QString text() const;

    static FileFailure of(Kind kind, QString detail = {}) {
        FileFailure failure;
        failure.kind = kind;
        failure.detail = std::move(detail);
        return failure;
    }
    // Why a Ghostscript that ran `script` failed; None when it succeeded.
    static FileFailure fromGhostscript(const GhostscriptResult& result, const QString& script);
    // The failure that ends a file with a run-wide reason (a stop, a full disk).
    static FileFailure fromEnding(GhostscriptEnding ending);
    // A document that took longer than `limit`, both stages together.
    static FileFailure timeLimit(std::chrono::milliseconds limit);
    // `pages` of `outOf` pages: made (PagesMissing) or not placed (PagesNotSaved).
    static FileFailure pageCount(Kind kind, int pages, int outOf);
    // The pages of a source were replaced by those of `later`, a later row
    // whose pages take the same names in `folder`.
    static FileFailure replacedBy(const QString& later, const QString& folder);
    // This failure, for a source that does not begin like a PostScript or
    // PDF file: where Ghostscript gave the reason, the user first reads what
    // the file is not. Other reasons stay as they are.
    FileFailure ofNonDocument() const;

    bool operator==(const FileFailure&) const = default;
};

} // namespace velmora
