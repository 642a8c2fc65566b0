// What a stranger's document, or a Ghostscript it took over, can do through a run of
// velmora-convert: deliver only its own pages, never stop the next file from converting,
// and reach nothing of the user's (in a sandbox when one works; a notice when none does).
#include "support/convert_command.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace velmora::test;

namespace {

// 100 x 50 points (417 x 208 at 300 dpi): told apart from the good file's 72 x 72 (300 x 300).
const QByteArray kPage = "<< /PageSize [100 50] >> setpagedevice 10 10 moveto 90 40 lineto "
                         "stroke showpage\n";
const QSize kPageSize(417, 208);
const QSize kGoodPageSize(300, 300);
// Busy for `ms` of Ghostscript's own clock (CPU time would stretch on a loaded machine).
const QByteArray kSpin =
    "/spin { realtime add { realtime 1 index ge { pop exit } if } loop } def\n";
// What a document prints fills neither the temp folder nor the program's memory.
constexpr qint64 kTempLimitBytes = 4 << 20;
constexpr qint64 kMemoryLimitKiB = 64 << 10;
#ifndef __has_feature
#define __has_feature(feature) 0 // GCC before 14
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
constexpr bool kMemoryIsJudged = false; // ASan keeps up to 256 MB of freed memory aside
#else
constexpr bool kMemoryIsJudged = true;
#endif

// Plants a shell script (touching MARKER) and pages in its temp folder and the two above it.
const QByteArray kPlanting = R"(%!PS
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
const QByteArray kOwnEndPage = "%!PS\n<< /EndPage { exch pop 2 ne } bind >> setpagedevice\n";

struct HostileRow {
    const char* why;
    int pages;           // delivered pages
    const char* reason;  // nullptr: converts fully; otherwise a part of the reason
    const char* options; // words of the command line, before the two files
    QByteArray document;
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
    const QString good = WriteFile(in.filePath(QStringLiteral("good.ps")), SquarePages(1));
    ConvertCommand command(QString(row.options).split(' ', Qt::SkipEmptyParts) +
                               QStringList{source, good},
                           temp.path());
    command.run();

    EXPECT_EQ(command.exitCode, row.reason ? 1 : 0) << qPrintable(command.err);
    const QString failed = row.reason ? source + ": " : QString();
    EXPECT_TRUE(command.out.startsWith("Done.\n" + failed)) << qPrintable(command.out);
    EXPECT_EQ(command.out.count('\n'), row.reason ? 2 : 1) << qPrintable(command.out);
    EXPECT_TRUE(command.out.section('\n', 1).contains(row.reason)) << qPrintable(command.out);
    EXPECT_FALSE(command.out.contains("Mirror") || command.out.contains("fake"))
        << "the document's own text decided";
    QStringList pages;
    for (int page = 1; page <= row.pages; ++page) {
        pages << QStringLiteral("doc-%1.jpg").arg(page, 3, 10, QLatin1Char('0'));
        EXPECT_EQ(JpegSize(in.filePath(pages.back())), kPageSize) << qPrintable(pages.back());
    }
    EXPECT_EQ(QDir(in.path()).entryList({"doc*.jpg"}, QDir::Files | QDir::System), pages);
    EXPECT_EQ(JpegSize(in.filePath("good-001.jpg")), kGoodPageSize) << "the next file converts";
    EXPECT_FALSE(QFile::exists(marker)) << "text the document wrote was run";
    EXPECT_LT(command.peakTempBytes, kTempLimitBytes);
    EXPECT_TRUE(!kMemoryIsJudged || command.peakMemoryKiB < kMemoryLimitKiB)
        << command.peakMemoryKiB << " KiB";
    EXPECT_EQ(FolderEntries(temp.path()), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HostileDocuments,
    ::testing::Values(
        HostileRow{"printed 'rror' or an error message is no failure", 1, nullptr, "",
                   "%!PS\n(Mirror of the catalogue\\nError: fake /undefined in --nosuchop--\\n) "
                   "print flush\n" +
                       kPage},
        HostileRow{
            "pages before a failure survive; the reason is Ghostscript's, not the printed one", 3,
            "undefined", "",
            "%!PS\n" + kPage + kPage + kPage + "(Error: fake\\n) print flush nosuchop\n"},
        HostileRow{"a page cut short is no page, and no blank page stands in", 0, "", "",
                   "%!PS\n0 0 moveto 72 72 lineto stroke nosuchop\n"},
        HostileRow{"printing without end fills neither temp folder nor memory", 0, "",
                   "--timeout 3", "%!PS\n{ (xxxxxxxxxxxxxxxxxxxxxxxx) print } loop\n"},
        HostileRow{"slow but steady pages (each 0.8 s) are progress", 4, nullptr, "--timeout 2",
                   "%!PS\n" + kSpin + "1 1 4 { pop 800 spin " + kPage + "} for\n"},
        HostileRow{"a loop that makes no progress is stopped", 0, "no progress", "--timeout 2",
                   "%!PS\n{} loop\n"},
        HostileRow{"printing our own page line buys no time", 0, "no progress", "--timeout 2",
                   "%!PS\n{ (%stderr) (w) file dup (%%[velmora page]%%\\n) writestring "
                   "flushfile } loop\n"},
        HostileRow{"pages and scripts planted in the temp folders are never used", 1, nullptr, "",
                   kPlanting + kPage},
        HostileRow{"a document that ends well keeps what it drew, shown or not", 1, nullptr, "",
                   "%!PS\n" + kPage.left(kPage.indexOf("showpage"))},
        HostileRow{"a document with its own page procedure keeps its pages", 2, nullptr, "",
                   kOwnEndPage + kPage + kPage},
        HostileRow{"a single page under its own page procedure is kept too", 1, nullptr, "",
                   kOwnEndPage + kPage},
        HostileRow{"comments promising more pages than there are are no failure", 2, nullptr, "",
                   "%!PS-Adobe-3.0\n%%Pages: 9\n%%EndComments\n" + kPage + kPage},
        HostileRow{"writing without end into its temp folder meets the write limit", 0,
                   "wrote more than 2 MB", "--write-limit 2",
                   "%!PS\nnull (w) .tempfile exch pop { dup (" + QByteArray(1000, 'x') +
                       ") writestring } loop\n"},
        HostileRow{"a source larger than the write limit is not what it wrote", 1, nullptr,
                   "--write-limit 1", "%!PS\n%" + QByteArray(1536 * 1024, 'x') + "\n" + kPage},
        // The limit leaves room for the next one-page file on a loaded machine.
        HostileRow{"a document that keeps making pages meets the time limit", 0,
                   "took more than 6 s", "--max-seconds 6",
                   "%!PS\n" + kSpin + "1 1 40 { pop 400 spin " + kPage + "} for\n"}));

// A program of the test's, first on the command's PATH, standing in for `name`.
QString standIn(ConvertCommand& command, const QTemporaryDir& bin, const char* name,
                const QString& script) {
    const QString path = WriteFile(bin.filePath(QLatin1String(name)), script.toUtf8());
    EXPECT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    command.environment.insert("PATH", bin.path() + ':' + command.environment.value("PATH"));
    return path;
}

TEST(Trust, GhostscriptReachesNeitherHomeNorSourceFolderNorNetwork) {
    if (QStandardPaths::findExecutable(QStringLiteral("bwrap")).isEmpty()) {
        GTEST_SKIP() << "needs bwrap (Debian package bubblewrap) to confine Ghostscript";
    }
    QTemporaryDir in, home, bin, temp;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString source = WriteFile(in.filePath("doc.ps"), SquarePages(1));
    const QString intoHome = home.filePath("from-gs"), beside = in.filePath("from-gs");
    ConvertCommand command({source}, temp.path());
    command.environment.insert("HOME", home.path());
    const QString gs = standIn(command, bin, "gs", "#!/bin/sh\nexit 1\n");
    ConvertCommand broken({source}, temp.path());
    broken.environment = command.environment;
    broken.run();
    ASSERT_EQ(broken.exitCode, 1) << "the gs on PATH is the one that runs";
    // Unconfined, it does all three before it converts: the run proves something.
    WriteFile(gs, QStringLiteral(
                      "#!/bin/bash\necho x > '%1'\necho x > '%2'\n"
                      "(exec 3<>/dev/tcp/127.0.0.1/%3 && echo x >&3)\nexec /usr/bin/gs \"$@\"\n")
                      .arg(intoHome, beside)
                      .arg(server.serverPort())
                      .toUtf8());
    ASSERT_EQ(QProcess::execute(gs, {"--version"}), 0);
    ASSERT_TRUE(QFile::remove(intoHome) && QFile::remove(beside));
    ASSERT_TRUE(server.waitForNewConnection(0)) << "its connection is made before it ends";
    delete server.nextPendingConnection();

    command.run();
    EXPECT_EQ(command.exitCode, 0) << qPrintable(command.out + command.err);
    EXPECT_TRUE(JpegSize(in.filePath("doc-001.jpg")).isValid());
    EXPECT_FALSE(QFile::exists(intoHome)) << "Ghostscript wrote into the user's home";
    EXPECT_FALSE(QFile::exists(beside)) << "Ghostscript wrote beside the source";
    EXPECT_FALSE(server.waitForNewConnection(0)) << "Ghostscript reached the network";
}

TEST(Trust, AGhostscriptPastSafeModeCannotLinkItsPageToTheUsersFiles) {
    QTemporaryDir in, secret, bin, temp;
    const QString secretFile = WriteFile(secret.filePath("id_rsa"), "SECRET");
    const QString source = WriteFile(in.filePath("doc.ps"), SquarePages(1));
    ConvertCommand command({source}, temp.path());
    standIn(command, bin, "gs",
            QStringLiteral("#!/bin/sh\n/usr/bin/gs \"$@\"\nstatus=$?\n[ -e current-001.jpg ] && "
                           "rm current-001.jpg && ln -s '%1' current-001.jpg\nexit $status\n")
                .arg(secretFile));
    command.run();
    EXPECT_EQ(command.exitCode, 1) << qPrintable(command.out + command.err);
    EXPECT_NE(ReadFile(in.filePath("doc-001.jpg")), "SECRET");
    EXPECT_TRUE(command.out.startsWith("Done.\n" + source + ": ")) << qPrintable(command.out);
}

// Without a working bwrap, Ghostscript's safe mode alone converts, and the
// run says so once; and pages are ordinary files of the user's either way.
TEST(Trust, WithoutASandboxPagesAreOrdinaryFilesOfTheUsers) {
    QTemporaryDir in, out, bin, temp;
    const QString target = WriteFile(in.filePath("target"), "untouched");
    const auto page = [&](const char* name) { return out.filePath(name + QString("-001.jpg")); };
    WriteFile(page("kept"), "an older page");
    ASSERT_EQ(::chmod(qPrintable(page("kept")), 0640), 0);
    ASSERT_TRUE(QFile::link(target, page("linked")));
    constexpr int kAnyMode = 0;
    const struct {
        const char* name;
        int mode;
        const char* why;
    } rows[] = {
        {"new", 0664, "a new page honours a group-shared umask"},
        {"kept", 0640, "a replaced page keeps the mode its owner chose"},
        {"linked", kAnyMode, "a link of the page's name is replaced, never followed"},
    };
    QStringList arguments{"--output-dir", out.path()};
    for (const auto& row : rows) {
        arguments << WriteFile(in.filePath(row.name + QString(".ps")), SquarePages(1));
    }
    ConvertCommand command(arguments, temp.path());
    standIn(command, bin, "bwrap",
            "#!/bin/sh\necho 'bwrap: No permissions to create new namespace' >&2\nexit 1\n");
    const mode_t umask = ::umask(002);
    command.start();
    ::umask(umask);
    command.finish();
    EXPECT_EQ(command.exitCode, 0) << qPrintable(command.out + command.err);
    EXPECT_EQ(command.err.count("no sandbox"), 1) << qPrintable(command.err);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_FALSE(QFileInfo(page(row.name)).isSymLink());
        EXPECT_TRUE(JpegSize(page(row.name)).isValid());
        struct stat status {};
        ASSERT_EQ(::stat(qPrintable(page(row.name)), &status), 0);
        EXPECT_TRUE(row.mode == kAnyMode || int(status.st_mode & 07777) == row.mode)
            << std::oct << (status.st_mode & 07777);
    }
    EXPECT_EQ(ReadFile(target), "untouched");
}

} // namespace
