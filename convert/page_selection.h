#pragma once

#include "convert/file_failure.h"
#include "convert/ghostscript_result.h"

#include <QList>

namespace velmora {

// What one page range of the JPEG stage left: how its Ghostscript ended and
// how many page images lie in its folder, in page order.
struct RenderedRange {
    GhostscriptResult result;
    int images = 0;
};

// The pages of a document that are whole pages of it, and why not all were
// made when they were not.
struct PageSelection {
    QList<int> imagesPerRange; // how many leading images of each range to deliver
    FileFailure failure;

    int pages() const;
};

// Whether the PDF a PostScript stage left is worth rendering: it is when
// Ghostscript ran to its own end and either succeeded (every page of its
// PDF is the document's) or finished pages before it failed (a document
// that finished none still gets a blank stand-in page, which is no page of
// it).
bool PdfWorthRendering(const GhostscriptResult& pdfStage);

// Chooses the pages to deliver, in page order. Success is Ghostscript's
// exit status: a document whose PostScript stage succeeded keeps every page
// its ranges rendered. The pages the document reported finishing only bound
// what a failed document keeps. A range that failed keeps the pages before
// the one it was making (which may be cut short), and later ranges count no
// more. `script` names the PostScript stage's script in a reason.
PageSelection SelectPages(const GhostscriptResult& pdfStage, const QString& pdfScript,
                          const QList<RenderedRange>& ranges, const QList<QString>& rangeScripts);

} // namespace velmora
