// The pages each document gives, the same on every system: the Linux build runs it with gs,
// the Windows build under Wine with gswin64c.exe.
#include "support/convert_command.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"
#include "support/text.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

// `pages` pages of the given size in points, each with a line and a word; then `ending`.
QByteArray document(int pages, int width, int height, const char* ending = "") {
    QByteArray text = "%!PS-Adobe-3.0\n<< /PageSize [" + QByteArray::number(width) + " " +
                      QByteArray::number(height) + "] >> setpagedevice\n" +
                      "/Helvetica findfont 24 scalefont setfont\n";
    for (int page = 1; page <= pages; ++page) {
        text += "36 36 moveto 150 150 lineto stroke 40 60 moveto (Page " +
                QByteArray::number(page) + ") show showpage\n";
    }
    return text + ending;
}

constexpr int kA4Width = 595, kA4Height = 842;
const QSize kA4At300Dpi(2479, 3508);

// Where a run works: plain folders, or named beyond ASCII as many users' are (C:\Users\Zoë).
enum class Places { Ascii, TempBeyondAscii, FoldersBeyondAscii };

struct PageRow {
    const char* source;
    QByteArray content;
    int exitCode;
    const char* pages; // the names made, in order, split by ","
    QSize size;        // of every page
    const char* why;
    Places places = Places::Ascii;
};

void PrintTo(const PageRow& row, std::ostream* out) {
    *out << row.why;
}

class PageTable : public ::testing::TestWithParam<PageRow> {};

TEST_P(PageTable, SameOnEverySystem) {
    const PageRow& row = GetParam();
    QTemporaryDir in, out, temp;
    const bool named = row.places == Places::FoldersBeyondAscii;
    const QString outFolder = out.filePath(named ? "Ausgabe Ørsted" : "out");
    const QString tempFolder = temp.filePath(row.places == Places::TempBeyondAscii ? "Zoë" : "t");
    ASSERT_TRUE(QDir().mkpath(outFolder) && QDir().mkpath(tempFolder));
    const QString source =
        WriteFile(in.filePath(named ? "Zoë's Entwürfe 日本/" : "in/") + row.source, row.content);
    ConvertCommand command({"--output-dir", outFolder, source}, tempFolder);
    command.run();
    EXPECT_EQ(command.exitCode, row.exitCode) << qPrintable(command.out + command.err);
    const QStringList made = QDir(outFolder).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(made, split(row.pages));
    for (const QString& page : made) {
        EXPECT_EQ(JpegSize(outFolder + '/' + page), row.size) << qPrintable(page);
    }
    EXPECT_EQ(FolderEntries(tempFolder), QStringList()) << "the work folder is removed";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PageTable,
    ::testing::Values(
        PageRow{"report.ps", document(2, kA4Width, kA4Height), 0, "report-001.jpg,report-002.jpg",
                kA4At300Dpi, "two A4 pages at 300 dpi"},
        PageRow{"wide.eps", document(1, 200, 100), 0, "wide-001.jpg", QSize(833, 417),
                "a page size of the document's own"},
        PageRow{"Zoë's Bericht.ps", document(1, kA4Width, kA4Height), 0, "Zoë's Bericht-001.jpg",
                kA4At300Dpi, "a name beyond ASCII, with a space and a quote"},
        PageRow{"broken.ps", document(2, kA4Width, kA4Height, "nosuchcommand\n"), 1,
                "broken-001.jpg,broken-002.jpg", kA4At300Dpi,
                "pages finished before an error are kept"},
        PageRow{"empty.ps", "", 1, "", QSize(), "an empty file gives no page"},
        PageRow{"report.ps", document(2, kA4Width, kA4Height), 0, "report-001.jpg,report-002.jpg",
                kA4At300Dpi, "a temp folder named beyond ASCII", Places::TempBeyondAscii},
        PageRow{"Straße.ps", document(1, kA4Width, kA4Height), 0, "Straße-001.jpg", kA4At300Dpi,
                "source and output folders named beyond ASCII", Places::FoldersBeyondAscii}));

} // namespace
