#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace velmora::test {

// Writes bytes to path, creating its folder; returns the path. A file that
// cannot be written fails the running test.
inline QString WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    EXPECT_EQ(file.write(bytes), bytes.size()) << qPrintable(path);
    return path;
}

// The whole content of a file; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A document of `pages` small square pages (quick at 300 dpi), each showing
// its number, announced in "%%Pages:", with `tail` (an error, say) at the end.
inline QByteArray SquarePages(int pages, int side = 72, const QByteArray& tail = {}) {
    QByteArray doc = "%!PS-Adobe-3.0\n%%Pages: " + QByteArray::number(pages) +
                     "\n%%EndComments\n<< /PageSize [" + QByteArray::number(side) + ' ' +
                     QByteArray::number(side) + "] >> setpagedevice\n";
    for (int i = 1; i <= pages; ++i) {
        doc += "%%Page: " + QByteArray::number(i) + ' ' + QByteArray::number(i) +
               "\n/Helvetica findfont 10 scalefont setfont 4 12 moveto (" + QByteArray::number(i) +
               ") show showpage\n";
    }
    return doc + tail + "%%EOF\n";
}

} // namespace velmora::test
