#include "convert/page_names.h"

#include "base/path_helpers.h"

#include <QHash>

#include <algorithm>

namespace velmora {

QString PagePrefix(const QString& fileName) {
    return fileName.section(QLatin1Char('.'), 0, 0);
}

QString SourcePagePrefix(const QString& source, PathStyle style) {
    return PagePrefix(RemoveExtension(GetFileName(source, style)) + QStringLiteral(".pdf"));
}

QString PagesFolder(const QString& source, OutputChoice output, const QString& outputFolder,
                    PathStyle style) {
    switch (output) {
    case OutputChoice::Folder:
        return outputFolder;
    case OutputChoice::BesideSource:
        return GetFolderPath(source, style);
    case OutputChoice::None:
        break;
    }
    return {};
}

QList<PageNameClash> PageNameClashes(const QStringList& sources, OutputChoice output,
                                     const QString& outputFolder, PathStyle style) {
    if (output == OutputChoice::None) {
        return {};
    }
    // Rows clash when their first pages have one name: the folder and prefix.
    QStringList firstPages;
    for (const QString& source : sources) {
        firstPages.append(DeliveredPageName(PagesFolder(source, output, outputFolder, style),
                                            SourcePagePrefix(source, style), 1, style));
    }
    // From the last row up, each name's nearest later row, and the nearest
    // later row of another source than that one: one of the two is the row
    // that replaces this row's pages. A list of 100,000 rows is one pass.
    struct Later {
        int nearest = -1;
        int nearestOther = -1;
    };
    QHash<QString, Later> later;
    QList<PageNameClash> clashes;
    for (auto row = static_cast<int>(sources.size()) - 1; row >= 0; --row) {
        Later& next = later[firstPages[row]];
        const bool sameSource = next.nearest >= 0 && sources[next.nearest] == sources[row];
        const int replacer = sameSource ? next.nearestOther : next.nearest;
        if (replacer >= 0) {
            clashes.append({row, replacer, FolderOf(firstPages[row], style)});
        }
        if (!sameSource) {
            next.nearestOther = next.nearest;
        }
        next.nearest = row;
    }
    std::reverse(clashes.begin(), clashes.end());
    return clashes;
}

QString PageSuffix(int page) {
    return QLatin1Char('-') + QStringLiteral("%1").arg(page, 3, 10, QLatin1Char('0'));
}

QString DeliveredPageName(const QString& folder, const QString& prefix, int page, PathStyle style) {
    return FixPath(folder + separator(style) + prefix + PageSuffix(page) + QStringLiteral(".jpg"),
                   style);
}

int PageImageNumber(const QString& name) {
    static const QString head = QStringLiteral("current-");
    static const QString tail = QStringLiteral(".jpg");
    if (!name.startsWith(head, Qt::CaseInsensitive) || !name.endsWith(tail, Qt::CaseInsensitive)) {
        return -1;
    }
    const QStringView digits =
        QStringView(name).mid(head.size(), name.size() - head.size() - tail.size());
    if (digits.isEmpty() || digits.size() > 9) {
        return -1;
    }
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return -1;
        }
    }
    return digits.toInt();
}

QStringList SortPageImages(QStringList names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int na = PageImageNumber(a);
        const int nb = PageImageNumber(b);
        if ((na < 0) != (nb < 0)) {
            return nb < 0;
        }
        if (na != nb) {
            return na < nb;
        }
        return a < b;
    });
    return names;
}

} // namespace velmora
