#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace velmora {

// Which row of a run placed each page the run placed, so that a later row
// whose pages take the same names is noticed: its pages replace the earlier
// row's, and what is left of the earlier row must go, or the folder would
// mix two documents under one name.
class PageOwners {
public:
    // An earlier row whose pages a later row replaced: its pages that the
    // later row did not replace, which must go.
    struct Replaced {
        int row = 0;
        QStringList leftover;

        bool operator==(const Replaced&) const = default;
    };

    // Notes the pages `row` (of `source`) has placed, in page order. Returns
    // the earlier rows of other sources whose pages these replace, in row
    // order. A source listed twice makes its own pages again: no clash.
    QList<Replaced> place(int row, const QString& source, const QStringList& pages);

private:
    QHash<QString, int> m_ownerOf;     // page path: the row that placed it last
    QHash<int, QString> m_sourceOf;    // row: its source
    QHash<int, QStringList> m_pagesOf; // row: the pages it still owns, in page order
};

} // namespace velmora
