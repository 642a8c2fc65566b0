#include "convert/page_ranges.h"

#include <algorithm>

namespace velmora {

QList<PageRange> SplitPages(int pages, int parts, int minPages) {
    const int count = std::clamp(pages / std::max(minPages, 1), 1, std::max(parts, 1));
    QList<PageRange> ranges;
    int first = 1;
    for (int i = 0; i < count; ++i) {
        // Earlier ranges take the remainder, one page each.
        const int size = pages / count + (i < pages % count ? 1 : 0);
        ranges.append({first, i + 1 == count ? -1 : first + size - 1});
        first += size;
    }
    return ranges;
}

} // namespace velmora
