#include "convert/page_selection.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// A Ghostscript that ended by itself; `beforeError` pages came before its first error.
GhostscriptResult Exit(int status, int pages, int beforeError = -1, const char* error = "") {
    return {.exitStatus = status,
            .pagesReported = pages,
            .pagesBeforeError = beforeError,
            .errorLine = QString::fromUtf8(error),
            .launchError = {}};
}

// One the program ended; `limit` is milliseconds, or bytes for the write limit.
GhostscriptResult Ended(GhostscriptEnding ending, qint64 limit = 0, int pages = 0) {
    return {.ending = ending,
            .pagesReported = pages,
            .errorLine = {},
            .launchError = QStringLiteral("Permission denied"),
            .limitTime = std::chrono::milliseconds(limit),
            .limitBytes = ending == GhostscriptEnding::OverWriteLimit ? limit : 0};
}

// The JPEG stage's ranges: each one's Ghostscript and the images it left.
QList<RenderedRange> Ranges() {
    return {};
}
template <typename... More>
QList<RenderedRange> Ranges(const GhostscriptResult& result, int images, More... more) {
    return QList<RenderedRange>{{result, images}} + Ranges(more...);
}

TEST(PageSelection, KeepsOnlyWholePages) {
    using enum GhostscriptEnding;
    const struct Row {
        GhostscriptResult pdf;
        QList<RenderedRange> ranges;
        bool worthRendering;
        const char* kept; // images kept per range
        const char* failure;
        const char* why;
    } rows[] = {
        {Exit(0, 0), Ranges(Exit(0, 1), 1), true, "1", "", "its own page procedure"},
        {Exit(0, 3), Ranges(Exit(0, 3), 3, Exit(0, 0), 0), true, "3 0", "", "more pages promised"},
        {Exit(0, 5), Ranges(Exit(0, 4), 4, Exit(0, 1), 1, Exit(0, 0), 0), true, "4 1 0", "",
         "a range beyond the PDF's end"},
        {Exit(0, 3), Ranges(Exit(137, 3), 3), true, "2", "Ghostscript ended with status 137",
         "killed while making its third page, which may be cut"},
        {Exit(1, 3, 3, "Error: /undefined"), Ranges(Exit(0, 4), 4), true, "3", "Error: /undefined",
         "its PDF ends with the page it failed on"},
        {Exit(1, 0, 0, "Error: /syntaxerror"), Ranges(Exit(0, 1), 1), false, "0",
         "Error: /syntaxerror", "the blank stand-in is no page"},
        {Ended(NoProgress, 2000, 2), Ranges(), false, "", "no progress for 2 s",
         "its PDF may be cut"},
        {Ended(OverWriteLimit, 1024 * kMiB, 3), Ranges(Exit(0, 3), 3), false, "0",
         "wrote more than 1024 MB", "none of a cut PDF counts, even rendered"},
        {Ended(FailedToStart), Ranges(), false, "", "could not run pdf.sh (Permission denied)",
         "the PostScript stage's script"},
        {Ended(Stopped, 0, 4), Ranges(), false, "", "stopped", "stopped by the user"},
        {Exit(0, 3), Ranges(Exit(0, 3, 2, "**** Error: data ends"), 3), true, "1",
         "**** Error: data ends", "status 0, but it complained on page 3"},
        {Exit(0, 10), Ranges(Exit(1, 4, 4, "Error: /VMerror"), 4, Exit(0, 5), 5), true, "3 0",
         "Error: /VMerror", "pages after a failed range count no more"},
        {Exit(0, 9), Ranges(Exit(0, 5), 5, Ended(FailedToStart), 0), true, "5 0",
         "could not run jpeg-2.sh (Permission denied)", "the failing range's own script"},
        {Exit(0, 6), Ranges(Ended(TimeLimit, 1500, 6), 6), true, "5", "took more than 1.5 s",
         "a range stopped at its time limit"},
        {Exit(0, 3), Ranges(Exit(0, 3), 2), true, "2", "2 of 3 pages", "an image is missing"},
        {Exit(2, 3, 3, "Error: /rangecheck"), Ranges(Exit(137, 3), 3), true, "2",
         "Error: /rangecheck", "the PostScript stage's reason comes first"},
        {Exit(0, 0), Ranges(Exit(0, 0), 0), true, "0", "no page", "nothing rendered"},
    };
    for (const Row& row : rows) {
        QList<QString> scripts;
        for (qsizetype i = 1; i <= row.ranges.size(); ++i) {
            scripts.append(QStringLiteral("jpeg-%1.sh").arg(i));
        }
        const PageSelection selection =
            SelectPages(row.pdf, QStringLiteral("pdf.sh"), row.ranges, scripts);
        QStringList kept;
        for (const int count : selection.imagesPerRange) {
            kept.append(QString::number(count));
        }
        EXPECT_EQ(PdfWorthRendering(row.pdf), row.worthRendering) << row.why;
        EXPECT_EQ(kept.join(QLatin1Char(' ')).toStdString(), row.kept) << row.why;
        EXPECT_EQ(selection.failure.text().toStdString(), row.failure) << row.why;
    }
}

} // namespace
