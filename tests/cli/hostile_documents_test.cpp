// Documents written by a stranger, fed to velmora-convert with the real
// Ghostscript: each row is followed by a good file, which must still convert
// whatever the row did.
#include "support/convert_command.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

// A page 100 x 50 points, so its JPEG (417 x 208 at 300 dpi) tells it apart
// from the good file's page (72 x 72 points, 300 x 300).
const QByteArray Page = "<< /PageSize [100 50] >> setpagedevice 10 10 moveto 90 40 lineto "
                        "stroke showpage\n";
const QByteArray GoodDocument = SquarePages(1);
const QSize PageSize(417, 208);
const QSize GoodPageSize(300, 300);
// Busy for `ms` of Ghostscript's own clock (CPU time would stretch on a
// loaded machine).
const QByteArray Spin = "/spin { realtime add { realtime 1 index ge { pop exit } if } loop } def\n";
// What a document prints fills neither the temp folder nor the program's memory.
constexpr qint64 TempLimitBytes = 4 << 20;
constexpr qint64 MemoryLimitKiB = 64 << 10;
// AddressSanitizer keeps up to 256 MB of freed memory aside to catch late
// uses, so a program that handles millions of short lines grows there
// without holding them: memory is judged in the plain build only.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_UNDER_ASAN
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_UNDER_ASAN
#endif
#endif
#ifdef VELMORA_UNDER_ASAN
constexpr bool MemoryIsJudged = false;
#else
constexpr bool MemoryIsJudged = true;
#endif

// Learns its temp folder from .tempfile, then tries to plant a shell script and
// pages in it and in the two folders above it; each attempt may fail. MARKER
// is replaced by a path the shell text would create.
const QByteArray Planting = R"(%!PS
/concat { exch dup length 2 index length add string dup dup 4 2 roll copy length 4 -1 roll
  putinterval } def
/dirof { dup length 1 sub -1 0 { 2 copy get 47 eq { 0 exch getinterval exit } if pop } for } def
/plant { 3 1 roll (/) exch concat concat (w) file dup 3 -1 roll writestring closefile } def
/try { mark 3 index 4 -1 roll 4 -1 roll { plant } stopped cleartomark } def
null (w) .tempfile closefile dup dirof exch { deletefile } stopped pop
dup dirof dup dirof 3 array astore {
  [ (pdf2tiff.sh) (pstopdf.sh) ] { (#!/bin/sh\ntouch MARKER\n) try } forall
  [ (current.pdf) (current-001.jpg) (current-002.jpg) (current-003.jpg) ]
    { (planted junk) try } forall
  pop
} forall
)";

struct HostileRow {
    const char* why;
    QByteArray document;
    int pages;                // delivered pages
    const char* reason;       // nullptr: converts fully; otherwise a part of the reason
    const char* options = ""; // words of the command line, before the two files
};

void PrintTo(const HostileRow& row, std::ostream* out) {
    *out << row.why;
}

class HostileDocuments : public ::testing::TestWithParam<HostileRow> {};

TEST_P(HostileDocuments, DeliverOnlyTheirOwnPagesAndTheNextFileConverts) {
    const HostileRow& row = GetParam();
    QTemporaryDir in, temp;
    const QString marker = in.filePath(QStringLiteral("MARKER"));
    const QString source = WriteFile(in.filePath(QStringLiteral("doc.ps")),
                                     QByteArray(row.document).replace("MARKER", marker.toUtf8()));
    const QString good = WriteFile(in.filePath(QStringLiteral("good.ps")), GoodDocument);
    ConvertCommand command(QString(row.options).split(' ', Qt::SkipEmptyParts) +
                               QStringList{source, good},
                           temp.path());
    command.run();

    const QString said = row.reason ? "\n" + source + ": " : QString();
    EXPECT_EQ(command.exitCode, row.reason ? 1 : 0) << qPrintable(command.err);
    EXPECT_TRUE(command.out.startsWith("Done." + said)) << qPrintable(command.out);
    EXPECT_EQ(command.outLines().size(), row.reason ? 2 : 1) << qPrintable(command.out);
    if (row.reason) {
        EXPECT_TRUE(command.outLines()[1].contains(row.reason)) << qPrintable(command.out);
    }
    for (const char* word : {"Mirror", "fake"}) {
        EXPECT_FALSE(command.out.contains(word)) << "the document's own text decided";
    }
    QStringList pages;
    for (int page = 1; page <= row.pages; ++page) {
        pages << QStringLiteral("doc-%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
    }
    EXPECT_EQ(QDir(in.path()).entryList({"doc*.jpg"}, QDir::Files | QDir::System), pages);
    for (const QString& page : pages) {
        EXPECT_TRUE(IsJpeg(in.filePath(page))) << qPrintable(page);
        EXPECT_EQ(QImageReader(in.filePath(page)).size(), PageSize) << qPrintable(page);
    }
    const QString goodPage = in.filePath(QStringLiteral("good-001.jpg"));
    EXPECT_TRUE(IsJpeg(goodPage)) << "the next file still converts, with its own page";
    EXPECT_EQ(QImageReader(goodPage).size(), GoodPageSize);
    EXPECT_FALSE(QFile::exists(marker)) << "text the document wrote was run";
    EXPECT_LT(command.peakTempBytes, TempLimitBytes);
    if (MemoryIsJudged) {
        EXPECT_LT(command.peakMemoryKiB, MemoryLimitKiB);
    }
    EXPECT_EQ(FolderEntries(temp.path()), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostileDocuments,
    ::testing::Values(
        HostileRow{"printed text with 'rror' or an error message in it is no failure",
                   "%!PS\n(Mirror of the catalogue\\nError: fake /undefined in --nosuchop--\\n) "
                   "print flush\n" +
                       Page,
                   1, nullptr},
        HostileRow{"three complete pages survive a failure on the fourth; the reason is "
                   "Ghostscript's, not what the document printed",
                   "%!PS\n" + Page + Page + Page + "(Error: fake\\n) print flush nosuchop\n", 3,
                   "undefined"},
        HostileRow{"a page cut short is no page, and no blank page stands in",
                   "%!PS\n0 0 moveto 72 72 lineto stroke nosuchop\n", 0, ""},
        HostileRow{"printing without end fills neither the temp folder nor memory",
                   "%!PS\n{ (xxxxxxxxxxxxxxxxxxxxxxxx) print } loop\n", 0, "", "--timeout 3"},
        // A page every 0.8 s comes well within every 2 s.
        HostileRow{"slow but steady pages are progress, not a hang",
                   "%!PS\n" + Spin + "1 1 4 { pop 800 spin " + Page + "} for\n", 4, nullptr,
                   "--timeout 2"},
        HostileRow{"a loop that makes no progress is stopped", "%!PS\n{} loop\n", 0, "no progress",
                   "--timeout 2"},
        HostileRow{"printing our own page line buys no time",
                   "%!PS\n{ (%stderr) (w) file dup (%%[velmora page]%%\\n) writestring flushfile "
                   "} loop\n",
                   0, "no progress", "--timeout 2"},
        HostileRow{"pages and scripts planted in the temp folders are never used", Planting + Page,
                   1, nullptr},
        HostileRow{
            "a document that ends well keeps what it drew, shown or not",
            "%!PS\n<< /PageSize [100 50] >> setpagedevice 10 10 moveto 90 40 lineto stroke\n", 1,
            nullptr},
        HostileRow{"a document with its own page procedure keeps its pages",
                   "%!PS\n<< /EndPage { exch pop 2 ne } bind >> setpagedevice\n" + Page + Page, 2,
                   nullptr},
        HostileRow{"a single page under its own page procedure is kept too",
                   "%!PS\n<< /EndPage { exch pop 2 ne } bind >> setpagedevice\n" + Page, 1,
                   nullptr},
        HostileRow{"comments that promise more pages than there are make no failure",
                   "%!PS-Adobe-3.0\n%%Pages: 9\n%%EndComments\n" + Page + Page, 2, nullptr},
        HostileRow{"writing without end into its temp folder is stopped at the write limit",
                   "%!PS\nnull (w) .tempfile exch pop { dup (" + QByteArray(1000, 'x') +
                       ") writestring } loop\n",
                   0, "wrote more than 2 MB", "--write-limit 2"},
        HostileRow{"a source larger than the write limit is not what its document wrote",
                   "%!PS\n%" + QByteArray(1536 * 1024, 'x') + "\n" + Page, 1, nullptr,
                   "--write-limit 1"},
        // The limit leaves room for the next one-page file on a loaded machine.
        HostileRow{"a document that keeps making pages is stopped at the time limit",
                   "%!PS\n" + Spin + "1 1 40 { pop 400 spin " + Page + "} for\n", 0,
                   "took more than 6 s", "--max-seconds 6"}));

} // namespace
