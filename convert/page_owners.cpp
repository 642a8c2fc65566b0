#include "convert/page_owners.h"

#include <algorithm>

namespace velmora {

QList<PageOwners::Replaced> PageOwners::place(int row, const QString& source,
                                              const QStringList& pages) {
    QList<int> replaced;
    for (const QString& page : pages) {
        const auto owner = m_ownerOf.constFind(page);
        if (owner != m_ownerOf.cend() && *owner != row) {
            const int earlier = *owner;
            m_pagesOf[earlier].removeOne(page);
            if (m_sourceOf.value(earlier) != source && !replaced.contains(earlier)) {
                replaced.append(earlier);
            }
        }
        m_ownerOf.insert(page, row);
    }
    m_sourceOf.insert(row, source);
    m_pagesOf.insert(row, pages);
    std::sort(replaced.begin(), replaced.end());
    QList<Replaced> result;
    for (const int earlier : replaced) {
        // Its other pages go: they are no longer the pages of any one document.
        const QStringList leftover = m_pagesOf.take(earlier);
        for (const QString& page : leftover) {
            m_ownerOf.remove(page);
        }
        result.append({earlier, leftover});
    }
    return result;
}

} // namespace velmora
