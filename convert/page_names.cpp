#include "convert/page_names.h"

#include "base/path_helpers.h"

#include <algorithm>

namespace velmora {

QString PagePrefix(const QString& fileName) {
    return fileName.section(QLatin1Char('.'), 0, 0);
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
