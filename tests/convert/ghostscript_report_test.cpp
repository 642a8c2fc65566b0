#include "convert/ghostscript_report.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(GhostscriptReport, ErrorLine) {
    struct Row {
        QByteArray messages;
        const char* expected;
        const char* why;
    } rows[] = {
        {"GPL Ghostscript 10.00.0 (2022-09-21)\nError: /undefined in D\x01x\nOperand stack:\n"
         "GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1\n",
         "Error: /undefined in D?x", "the named error wins over the closing line"},
        {"Page 1\nPage 2\n", "", "a clean run"},
        {"   **** Warning: something odd\n", "", "warnings are no errors"},
        {"**** Unable to open the initial device, quitting.\nUnrecoverable error, exit code 1\n",
         "Unrecoverable error, exit code 1", "the last mention when no Error: line"},
        {"", "", "no output"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(GhostscriptErrorLine(row.messages), QString::fromUtf8(row.expected)) << row.why;
    }
    EXPECT_LE(GhostscriptErrorLine("Error: " + QByteArray(1000, 'x')).size(), 160);
}

class AnnouncedPages : public ::testing::Test {
protected:
    QString write(const QByteArray& content) {
        const QString path = dir.filePath(QStringLiteral("doc.ps"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(AnnouncedPages, ReadsTheHeaderOrTheTrailer) {
    EXPECT_EQ(AnnouncedPageCount(write("%!PS-Adobe-3.0\n%%Pages: 36\n%%EndComments\n")), 36);
    EXPECT_EQ(AnnouncedPageCount(write("%!PS-Adobe-3.0\n%%Pages:3 1\n")), 3);
    EXPECT_EQ(AnnouncedPageCount(write("%!PS\nshowpage\n")), -1);
    EXPECT_EQ(
        AnnouncedPageCount(write("%!PS-Adobe-3.0\n%%Pages: (atend)\n%%Trailer\n%%Pages: 7\n")), 7);
    EXPECT_EQ(AnnouncedPageCount(write("%!PS-Adobe-3.0\n%%Pages: (atend)\n")), -1);
    // A large document whose count stands in its trailer only.
    QByteArray big = "%!PS-Adobe-3.0\n%%Pages: (atend)\n";
    big += QByteArray(300 * 1024, ' ');
    big += "\n%%Trailer\n%%Pages: 12\n%%EOF\n";
    EXPECT_EQ(AnnouncedPageCount(write(big)), 12);
    EXPECT_EQ(AnnouncedPageCount(dir.filePath(QStringLiteral("missing.ps"))), -1);
}

} // namespace
