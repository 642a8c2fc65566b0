#pragma once

#include <QByteArray>
#include <QString>

namespace velmora::test {

// Writes bytes to path, creating its folder; returns the path. A file that
// cannot be written fails the running test.
QString WriteFile(const QString& path, const QByteArray& bytes);

// The whole content of a file; empty when it cannot be read.
QByteArray ReadFile(const QString& path);

// A PostScript document of `pages` small square pages (quick to render at
// 300 dpi), each showing its number, announced in "%%Pages:", with `tail`
// (an error, say) after the last page.
QByteArray SquarePages(int pages, int side = 72, const QByteArray& tail = {});

} // namespace velmora::test
