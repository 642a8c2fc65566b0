#pragma once

#include <QChar>
#include <QString>

namespace velmora {

// Which path rules a helper applies. Windows: "\" separates, "\\" starts a
// network path, lines end in CR LF. Posix: "/" separates, lines end in LF.
enum class PathStyle { Windows, Posix };

constexpr PathStyle nativePathStyle() {
#ifdef Q_OS_WIN
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

inline QChar separator(PathStyle style) {
    return style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
}

inline QString lineBreak(PathStyle style) {
    return style == PathStyle::Windows ? QStringLiteral("\r\n") : QStringLiteral("\n");
}

} // namespace velmora
