#include "convert/file_failure.h"
#include "convert/page_selection.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

GhostscriptResult Exit(int status, int pages, int beforeError = -1, const char* error = "") {
    GhostscriptResult result;
    result.exitStatus = status;
    result.pagesReported = pages;
    result.pagesBeforeError = beforeError;
    result.errorLine = QString::fromUtf8(error);
    return result;
}

// `limit`: milliseconds for the time limits, bytes for the write limit.
GhostscriptResult Ended(GhostscriptEnding ending, qint64 limit = 0, int pages = 0) {
    GhostscriptResult result;
    result.ending = ending;
    if (ending == GhostscriptEnding::OverWriteLimit) {
        result.limitBytes = limit;
    } else {
        result.limitTime = std::chrono::milliseconds(limit);
    }
    result.pagesReported = pages;
    if (ending == GhostscriptEnding::FailedToStart) {
        result.launchError = QStringLiteral("Permission denied");
    }
    return result;
}

RenderedRange Rendered(const GhostscriptResult& result, int images) {
    return {result, images};
}

template <typename... Ranges> QList<RenderedRange> Jpeg(Ranges... ranges) {
    return {ranges...};
}

TEST(PageSelection, KeepsOnlyWholePages) {
    using enum GhostscriptEnding;
    struct Row {
        GhostscriptResult pdf;
        QList<RenderedRange> ranges;
        bool worthRendering;
        const char* images; // kept per range
        const char* failure;
        const char* why;
    } rows[] = {
        {Exit(0, 0), Jpeg(Rendered(Exit(0, 1), 1)), true, "1", "", "its own page procedure"},
        {Exit(0, 3), Jpeg(Rendered(Exit(0, 3), 3), Rendered(Exit(0, 0), 0)), true, "3 0", "",
         "its comments promised more pages than it has"},
        {Exit(0, 5),
         Jpeg(Rendered(Exit(0, 4), 4), Rendered(Exit(0, 1), 1), Rendered(Exit(0, 0), 0)), true,
         "4 1 0", "", "a range beyond the PDF's end"},
        {Exit(0, 3), Jpeg(Rendered(Exit(137, 3), 3)), true, "2",
         "Ghostscript ended with status 137",
         "killed while making its third page, which may be cut"},
        {Exit(1, 3, 3, "Error: /undefined in nosuchop"), Jpeg(Rendered(Exit(0, 4), 4)), true, "3",
         "Error: /undefined in nosuchop", "its PDF ends with the page it failed on"},
        {Exit(1, 0, 0, "Error: /syntaxerror in --nostringval--"), Jpeg(Rendered(Exit(0, 1), 1)),
         false, "0", "Error: /syntaxerror in --nostringval--", "the blank stand-in is no page"},
        {Ended(NoProgress, 2000, 2), Jpeg(), false, "", "no progress for 2 s",
         "its PDF may be cut"},
        {Ended(OverWriteLimit, 1024 * kMiB, 3), Jpeg(Rendered(Exit(0, 3), 3)), false, "0",
         "wrote more than 1024 MB", "none of a cut PDF counts, even rendered"},
        {Ended(FailedToStart), Jpeg(), false, "", "could not run pdf.sh (Permission denied)",
         "the PostScript stage's script"},
        {Ended(Stopped, 0, 4), Jpeg(), false, "", "stopped", "stopped by the user"},
        {Exit(0, 3), Jpeg(Rendered(Exit(0, 3, 2, "**** Error: image data ends early"), 3)), true,
         "1", "**** Error: image data ends early", "status 0, but it complained on page 3"},
        {Exit(0, 10), Jpeg(Rendered(Exit(1, 4, 4, "Error: /VMerror"), 4), Rendered(Exit(0, 5), 5)),
         true, "3 0", "Error: /VMerror", "pages after a failed range count no more"},
        {Exit(0, 9), Jpeg(Rendered(Exit(0, 5), 5), Rendered(Ended(FailedToStart), 0)), true, "5 0",
         "could not run jpeg-2.sh (Permission denied)", "the failing range's own script"},
        {Exit(0, 6), Jpeg(Rendered(Ended(TimeLimit, 1500, 6), 6)), true, "5",
         "took more than 1.5 s", "a range stopped at its time limit"},
        {Exit(0, 3), Jpeg(Rendered(Exit(0, 3), 2)), true, "2", "2 of 3 pages",
         "an image is missing"},
        {Exit(2, 3, 3, "Error: /rangecheck in --put--"), Jpeg(Rendered(Exit(137, 3), 3)), true, "2",
         "Error: /rangecheck in --put--", "the PostScript stage's reason comes first"},
        {Exit(0, 0), Jpeg(Rendered(Exit(0, 0), 0)), true, "0", "no page", "nothing rendered"},
    };
    for (const Row& row : rows) {
        QList<QString> scripts;
        for (qsizetype i = 1; i <= row.ranges.size(); ++i) {
            scripts.append(QStringLiteral("jpeg-%1.sh").arg(i));
        }
        const PageSelection selection =
            SelectPages(row.pdf, QStringLiteral("pdf.sh"), row.ranges, scripts);
        QStringList images;
        for (const int count : selection.imagesPerRange) {
            images.append(QString::number(count));
        }
        EXPECT_EQ(PdfWorthRendering(row.pdf), row.worthRendering) << row.why;
        EXPECT_EQ(images.join(QLatin1Char(' ')).toStdString(), row.images) << row.why;
        EXPECT_EQ(selection.failure.text().toStdString(), row.failure) << row.why;
    }
}

TEST(FileFailure, FixedWords) {
    using Kind = FileFailure::Kind;
    const std::pair<FileFailure, const char*> rows[] = {
        {FileFailure::of(Kind::None), ""},
        {FileFailure::of(Kind::NotRegularFile), "not a regular file"},
        {FileFailure::of(Kind::EmptyFile), "empty file"},
        {FileFailure::fromEnding(GhostscriptEnding::DiskNearlyFull), "disk nearly full"},
    };
    for (const auto& [failure, text] : rows) {
        EXPECT_EQ(failure.text().toStdString(), text) << text;
    }
}

} // namespace
