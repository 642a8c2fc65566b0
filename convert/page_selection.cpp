#include "convert/page_selection.h"

#include <algorithm>
#include <climits>

namespace velmora {

int PageSelection::pages() const {
    int total = 0;
    for (const int images : imagesPerRange) {
        total += images;
    }
    return total;
}

bool PdfWorthRendering(const GhostscriptResult& pdfStage) {
    return pdfStage.exited() && (pdfStage.exitStatus == 0 || pdfStage.pagesReported > 0);
}

PageSelection SelectPages(const GhostscriptResult& pdfStage, const QString& pdfScript,
                          const QList<RenderedRange>& ranges, const QList<QString>& rangeScripts) {
    PageSelection selection;
    selection.failure = FileFailure::fromGhostscript(pdfStage, pdfScript);
    // A failed document keeps at most the pages it finished; one that ended
    // well keeps all of its PDF.
    int budget = pdfStage.succeeded() ? INT_MAX : pdfStage.pagesReported;
    if (!PdfWorthRendering(pdfStage)) {
        budget = 0;
    }
    bool whole = true; // every range so far made all its pages
    for (qsizetype i = 0; i < ranges.size(); ++i) {
        const RenderedRange& range = ranges.at(i);
        int usable = 0;
        if (whole) {
            const GhostscriptResult& job = range.result;
            // Our own PDF makes Ghostscript complain only when something
            // went wrong (a full disk, say), even where it ends with status 0.
            const bool complained = job.pagesBeforeError >= 0;
            if (job.succeeded() && !complained && range.images >= job.pagesReported) {
                usable = job.pagesReported;
            } else {
                whole = false;
                const int begun = complained ? job.pagesBeforeError : job.pagesReported;
                usable = std::min(range.images, std::max(0, begun - 1));
                if (!selection.failure.failed()) {
                    selection.failure =
                        job.succeeded() && complained && !job.errorLine.isEmpty()
                            ? FileFailure::of(FileFailure::Kind::GhostscriptError, job.errorLine)
                            : FileFailure::fromGhostscript(job, rangeScripts.value(i));
                    if (!selection.failure.failed()) {
                        // It ended well yet left fewer pages than it began.
                        selection.failure = FileFailure::pageCount(FileFailure::Kind::PagesMissing,
                                                                   range.images, job.pagesReported);
                    }
                }
            }
        }
        usable = std::clamp(usable, 0, budget);
        budget -= usable;
        selection.imagesPerRange.append(usable);
    }
    if (!selection.failure.failed() && selection.pages() == 0) {
        selection.failure = FileFailure::of(FileFailure::Kind::NoPage);
    }
    return selection;
}

} // namespace velmora
