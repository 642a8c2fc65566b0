#pragma once

#include <QList>

namespace velmora {

// Pages first to last of a document, 1-based; last -1: to the document's end.
struct PageRange {
    int first = 1;
    int last = -1;

    bool operator==(const PageRange&) const = default;
};

// Splits a document of about `pages` pages into at most `parts` ranges of
// at least `minPages` pages each, in page order. The last range stays open,
// so pages beyond the count (a document that says it has fewer) are still
// rendered.
QList<PageRange> SplitPages(int pages, int parts, int minPages);

} // namespace velmora
