// Runs of the engine with the real Ghostscript: hostile input, hosts that stop it from
// inside a report, failing disks. After each, every file is named for what became of it,
// exactly its pages are there, and no Ghostscript nor work folder is left.
#include "convert/conversion_run.h"
#include "support/conversion_harness.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"
#include "support/text.h"

#include <QDateTime>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

using namespace velmora;
using velmora::test::ConversionHarness;
using Status = RunSummary::Status;

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kOpenedTime = 978307200; // a time the test gives a source

QByteArray Sample(const char* name) {
    return test::ReadFile(QCoreApplication::applicationDirPath() + "/Samples/" + name);
}

struct Row {
    const char* why;
    Status status;
    const char* sources; // comma-separated; each one page unless the setup says otherwise
    const char* reasons; // each source's, comma-separated; "…" ends the start of a longer one
    const char* pages;   // files beside the sources but them, then those in the pages folder
    int boxes;           // error boxes, one for each failed step
    const char* box;     // a part of the first one's text
    std::function<void(ConversionHarness&)> setUp = [](ConversionHarness&) {};
    std::function<void(ConversionHarness&, const RunSummary&)> check = [](ConversionHarness&,
                                                                          const RunSummary&) {};
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.why;
}

class ConversionRunTest : public ::testing::TestWithParam<Row> {};

TEST_P(ConversionRunTest, EachFileIsNamedForWhatBecameOfItAndNothingStays) {
    const Row& row = GetParam();
    ConversionHarness h;
    h.request.output = OutputChoice::Folder;
    h.request.outputFolder = h.out.path();
    for (const QString& name : test::split(row.sources)) {
        h.request.sources << test::WriteFile(h.in.filePath(name), test::SquarePages(1, 36));
    }
    row.setUp(h);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    const RunSummary summary = h.run();
    EXPECT_EQ(summary.status, row.status);
    EXPECT_EQ(summary.ghostscript,
              row.status == Status::MissingGhostscript ? h.settings.ghostscript : QString())
        << "a missing Ghostscript is named";
    EXPECT_EQ(h.problems.size(), row.boxes);
    EXPECT_TRUE(h.problems.value(0).boxText().contains(QLatin1String(row.box)));
    const QStringList expected = QString::fromUtf8(row.reasons).split(QLatin1Char(','));
    QStringList reasons;
    for (const FileOutcome& file : summary.files) {
        const QString start = expected.value(reasons.size());
        const QString reason = file.failure.text();
        reasons << (start.endsWith(u'…') ? reason.left(start.size() - 1) + u'…' : reason);
    }
    EXPECT_EQ(reasons.join(QLatin1Char(',')), QString::fromUtf8(row.reasons));
    QStringList left = QDir(h.in.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& source : h.request.sources) {
        left.removeOne(QFileInfo(source).fileName());
    }
    left += QDir(h.out.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_EQ(left, test::split(row.pages));
    EXPECT_EQ(test::ProcessesWorkingIn(h.temp.path()), 0);
    EXPECT_EQ(QDir(h.temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{});
    row.check(h, summary);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConversionRunTest,
    ::testing::Values(
        Row{"the program's own scripts are missing (first: the run waits for the sandbox's probe)",
            Status::NotPrepared, "a.ps", "", "", 1,
            "in Velmora2021/08/31.Form1.PushButton2_Click at line 114",
            [](ConversionHarness& h) { h.settings.programFolder = h.temp.path(); }},
        Row{"nothing to convert", Status::NoFiles, "", "", "", 0, ""},
        Row{"a pages folder that is not there", Status::NoFolder, "a.ps", "", "", 0, "",
            [](ConversionHarness& h) { h.request.outputFolder += "/missing"; }},
        Row{"beside the sources the folder does not matter; no Ghostscript",
            Status::MissingGhostscript, "a.ps", "", "", 0, "",
            [](ConversionHarness& h) {
                h.request = {h.request.sources, OutputChoice::BesideSource, "/missing", 75};
                h.settings.ghostscript = "no-such-gs";
            }},
        Row{"a document shared over three Ghostscripts keeps its pages in order, beside it; the "
            "bar moves up to 100 and never back; a start meanwhile does nothing",
            Status::Converted, "long.ps", "",
            "long-001.jpg,long-002.jpg,long-003.jpg,long-004.jpg,long-005.jpg,long-006.jpg,"
            "long-007.jpg,long-008.jpg,long-009.jpg,long-010.jpg,long-011.jpg,long-012.jpg",
            0, "",
            [](ConversionHarness& h) {
                // Pages of growing width: each page's image tells which page it is.
                QByteArray pages = "%!PS\n";
                for (int width = 40; width <= 84; width += 4) {
                    pages += "<< /PageSize [" + QByteArray::number(width) +
                             " 36] >> setpagedevice showpage\n";
                }
                test::WriteFile(h.request.sources[0], pages);
                h.request.output = OutputChoice::BesideSource;
                h.settings.jobs = 3;
                h.onProgress = [&h] {
                    EXPECT_FALSE(h.conversion().start({}));
                    const QDir::Filters folders = QDir::Dirs | QDir::NoDotAndDotDot;
                    for (const QFileInfo& work : QDir(h.temp.path()).entryInfoList(folders)) {
                        EXPECT_FALSE(work.permissions().testAnyFlags(
                            QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                            QFileDevice::ReadOther | QFileDevice::WriteOther))
                            << "only this run may read its work folder";
                    }
                };
            },
            [](ConversionHarness& h, const RunSummary&) {
                int width = 0;
                for (const QString& page : QDir(h.in.path()).entryList({"*.jpg"}, QDir::Files)) {
                    const int before =
                        std::exchange(width, QImageReader(h.in.filePath(page)).size().width());
                    EXPECT_GT(width, before) << qPrintable(page) << " is out of order";
                }
                EXPECT_TRUE(std::is_sorted(h.progress.begin(), h.progress.end())) << "never back";
                EXPECT_EQ(h.progress.value(h.progress.size() - 1), 100);
            }},
        Row{"names a shell or Ghostscript would read are plain characters; what is no document "
            "is named for what it is not",
            Status::Converted, ".x.ps,a 'q' ;$(touch x).ps,-leading.ps,100%.ps,picture.ps",
            ",,,,not a PostScript or PDF file (Ghostscript: …",
            "-001.jpg,-leading-001.jpg,100%-001.jpg,a 'q' ;$(touch x)-001.jpg", 0, "",
            [](ConversionHarness& h) {
                test::WriteFile(h.request.sources[4], "GIF89a\x01\x02\n");
                h.request.outputFolder += '/';
            }},
        Row{"a PDF goes through both stages; an old page is replaced, the user's PDF stays; "
            "\"Min.\" gives smaller pages than the default",
            Status::Converted, "a.b.pdf,report.ps", ",",
            "report.pdf,a-001.jpg,a-002.jpg,report-001.jpg", 0, "",
            [](ConversionHarness& h) {
                QPdfWriter pdf(h.request.sources[0]);
                QPainter painter(&pdf);
                pdf.newPage();
                test::WriteFile(h.in.filePath("report.pdf"), "the user's PDF");
                test::WriteFile(h.out.filePath("report-001.jpg"), "an old page");
                h.request.quality = 0;
            },
            [](ConversionHarness& h, const RunSummary&) {
                EXPECT_EQ(test::ReadFile(h.in.filePath("report.pdf")), "the user's PDF");
                EXPECT_TRUE(QImageReader(h.out.filePath("report-001.jpg")).canRead());
                const QTemporaryDir other;
                h.request = {h.request.sources, OutputChoice::Folder, other.path(), 75};
                ASSERT_TRUE(h.run().allSucceeded());
                EXPECT_LT(QFileInfo(h.out.filePath("report-001.jpg")).size(),
                          QFileInfo(other.filePath("report-001.jpg")).size());
            }},
        Row{"a disk nearly full after the first page: the rest are skipped with that reason",
            Status::Converted, "first.ps,second.ps,third.ps", ",disk nearly full,disk nearly full",
            "first-001.jpg", 0, "",
            [](ConversionHarness& h) {
                const QString firstPage = h.out.filePath("first-001.jpg");
                h.conversion().setDiskSpace([firstPage](const QString&) {
                    return DiskSpace{(QFileInfo::exists(firstPage) ? 50 : 500) * kMiB, 1000 * kMiB};
                });
            }},
        Row{"the pages folder removed: each page not saved is named in a box; the user stops at "
            "each, the window closes at the second, which wins once the step has ended",
            Status::Cancelled, "1.ps,2.ps,3.ps,endless.ps",
            ",2 of 2 pages could not be saved,stopped,stopped", "", 2, "PDF.PDF_To_JPG at line 138",
            [](ConversionHarness& h) {
                test::WriteFile(h.request.sources[1], test::SquarePages(2, 36));
                test::WriteFile(h.request.sources[3], "%!PS\n{} loop\n");
                // The files after the second are made, or being made, at the stop.
                h.settings.jobs = 4;
                h.onFileEnded = [&h] { QDir(h.out.path()).removeRecursively(); };
                h.onProblem = [&h] {
                    h.conversion().stop();
                    if (h.problems.size() == 2) {
                        h.conversion().cancel();
                    }
                };
            }},
        Row{"a source too large to be copied in, a page too large for the temp folder; the next "
            "file converts",
            Status::Converted, "big.ps,colours.ps,tiny.ps", "Could not write …,**** Error: …,",
            "tiny-001.jpg", 1, "File too large",
            [](ConversionHarness& h) {
                test::WriteFile(h.request.sources[0], "%!PS\n%" + QByteArray(96 * 1024, 'x'));
                test::WriteFile(h.request.sources[1], Sample("colours.ps"));
                // No file the run writes may grow past 64 KiB: such writes fail (EFBIG).
                rlimit limit{};
                ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
                h.atEnd.push_back([limit] {
                    ::setrlimit(RLIMIT_FSIZE, &limit);
                    std::signal(SIGXFSZ, SIG_DFL);
                });
                std::signal(SIGXFSZ, SIG_IGN);
                limit.rlim_cur = 64 * 1024;
                ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
            }},
        Row{"each source is told as it was opened, though it changes meanwhile; a source gone, "
            "empty or no file is no failure of the program; with neither option pages go nowhere",
            Status::Converted, "memo.ps,vanished.ps,folder.ps,empty.ps",
            ",No such file or directory,not a regular file,empty file", "", 0, "",
            [](ConversionHarness& h) {
                test::WriteFile(h.request.sources[3], {});
                QFile::remove(h.request.sources[1]);
                QFile::remove(h.request.sources[2]);
                QDir().mkpath(h.request.sources[2]);
                QFile memo(h.request.sources[0]);
                ASSERT_TRUE(memo.open(QIODevice::Append) &&
                            memo.setFileTime(QDateTime::fromSecsSinceEpoch(kOpenedTime),
                                             QFileDevice::FileModificationTime));
                // Progress comes once the files are taken in.
                h.onProgress = [&h] { test::WriteFile(h.request.sources[0], "%!PS\n"); };
                h.request.output = OutputChoice::None;
            },
            [](ConversionHarness&, const RunSummary& summary) {
                EXPECT_EQ(summary.files[0].size, test::SquarePages(1, 36).size());
                EXPECT_EQ(summary.files[0].mtime, kOpenedTime);
                EXPECT_EQ(summary.files[0].pages, 1);
                EXPECT_EQ(summary.files[1].size, FileOutcome::kUnknown) << "never opened";
            }},
        Row{"a full disk replaces no page with a piece of one", Status::Converted,
            "colours.ps,tiny.ps", "1 of 1 pages could not be saved,",
            "colours-001.jpg,tiny-001.jpg", 1, "No space left on device",
            [](ConversionHarness& h) {
                const QString pages = h.out.path();
                if (QProcess::execute("mount",
                                      {"-t", "tmpfs", "-o", "size=128k", "tmpfs", pages})) {
                    GTEST_SKIP() << "needs root to mount a tmpfs";
                }
                h.atEnd.push_back([pages] { QProcess::execute("umount", {pages}); });
                test::WriteFile(h.request.sources[0], Sample("colours.ps"));
                test::WriteFile(h.out.filePath("colours-001.jpg"), "an old page");
                h.settings.diskReserveBytes = 0; // the write itself must fail
            },
            [](ConversionHarness& h, const RunSummary&) {
                EXPECT_EQ(test::ReadFile(h.out.filePath("colours-001.jpg")), "an old page");
            }}));

} // namespace
