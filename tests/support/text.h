#pragma once

#include <QString>
#include <QStringList>

namespace velmora::test {

// Test data written as UTF-8 literals ("über straße.ps", "日本.ps").
inline QString q(const char* text) {
    return QString::fromUtf8(text);
}

// Rows written as one comma-separated literal ("a,b,c"); "" gives no row.
inline QStringList split(const char* rows) {
    return QString::fromUtf8(rows).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

} // namespace velmora::test
