// Several Ghostscripts at once, end to end with the real Ghostscript: the
// result must be the one of converting the rows one after another.
#include "convert/conversion_run.h"
#include "support/conversion_harness.h"
#include "support/test_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

using namespace velmora;
using velmora::test::ConversionHarness;
using Status = RunSummary::Status;

namespace {

constexpr int kPollMs = 10;
// PostScript that keeps Ghostscript busy for about a quarter of a second.
const QByteArray kSlow = "0 1 25000000 { pop } for\n";

// Every file of a folder with its bytes.
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        files.insert(name, test::ReadFile(folder + QLatin1Char('/') + name));
    }
    return files;
}

class ConversionPoolTest : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& content) {
        return test::WriteFile(in.filePath(name), content);
    }
    // Runs the listed rows with `jobs` Ghostscripts into a folder of its own.
    RunSummary runInto(const QTemporaryDir& folder, int jobs) {
        h.settings.jobs = jobs;
        h.output = OutputChoice::Folder;
        h.outputFolder = folder.path();
        return h.run();
    }

    ConversionHarness h;
    QTemporaryDir in;
};

TEST_F(ConversionPoolTest, AnyNumberOfJobsGivesTheSequentialResult) {
    file(QStringLiteral("one-a.ps"), test::SquarePages(1));
    file(QStringLiteral("fails.ps"), test::SquarePages(3, 72, "nosuchop\n"));
    file(QStringLiteral("empty.ps"), {});
    file(QStringLiteral("one-b.ps"), test::SquarePages(1, 100));
    // Last and slow to become a PDF, so that its JPEG stage finds the jobs
    // free and is split over them.
    file(QStringLiteral("long.ps"), kSlow + test::SquarePages(20));
    for (const char* name :
         {"one-a.ps", "fails.ps", "empty.ps", "missing.ps", "one-b.ps", "long.ps"}) {
        h.sources.append(in.filePath(QLatin1String(name)));
    }
    // The long document's page ranges, seen as their job folders.
    QSet<QString> ranges;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QDirIterator it(h.temp.path(), {QStringLiteral("jpg-*")}, QDir::Dirs,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QStringLiteral("/file-6/"))) {
                ranges.insert(QFileInfo(path).fileName());
            }
        }
    });
    watch.start(kPollMs);

    QTemporaryDir sequentialOut;
    const RunSummary sequential = runInto(sequentialOut, 1);
    const QMap<QString, QByteArray> pages = contents(sequentialOut.path());
    ASSERT_EQ(pages.size(), 20 + 3 + 1 + 1) << qPrintable(pages.keys().join(' '));
    const QStringList lines = sequential.doneMessage().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4) << qPrintable(sequential.doneMessage());
    EXPECT_TRUE(lines[1].startsWith(in.filePath(QStringLiteral("fails.ps")) + ": Error: "))
        << "list order";
    EXPECT_EQ(lines[2], in.filePath(QStringLiteral("empty.ps")) + QStringLiteral(": empty file"));
    EXPECT_EQ(lines[3], in.filePath(QStringLiteral("missing.ps")) +
                            QStringLiteral(": No such file or directory"));
    EXPECT_EQ(ranges, QSet<QString>{QStringLiteral("jpg-1")}) << "one range with one job";

    const struct Row {
        int jobs;
        const char* why;
    } rows[] = {
        {2, "the next file's PDF stage overlaps the JPEG stage of the one before"},
        {3, "20 pages split unevenly over three ranges"},
        {4, "four ranges of five pages"},
    };
    for (const Row& row : rows) {
        ranges.clear();
        QTemporaryDir out;
        const RunSummary summary = runInto(out, row.jobs);
        EXPECT_EQ(summary.doneMessage(), sequential.doneMessage()) << row.why;
        EXPECT_TRUE(contents(out.path()) == pages) << "same names, same bytes: " << row.why;
        EXPECT_GT(ranges.size(), 1) << "the long document was split: " << row.why;
        EXPECT_EQ(h.leftInTemp(), QStringList{}) << row.why;
    }
}

TEST_F(ConversionPoolTest, ALaterRowsPagesReplaceAnEarlierRowsAsInTheSequentialRun) {
    // The upper row is slow, so the lower row's page is ready first.
    h.sources.append(file(QStringLiteral("report.a.ps"), kSlow + test::SquarePages(2, 72)));
    h.sources.append(file(QStringLiteral("report.b.ps"), test::SquarePages(1, 144)));
    QTemporaryDir sequentialOut;
    QTemporaryDir parallelOut;
    runInto(sequentialOut, 1);
    runInto(parallelOut, 4);

    EXPECT_TRUE(contents(parallelOut.path()) == contents(sequentialOut.path()));
    // 72 points are 300 pixels at 300 dpi: the side tells each page's row.
    EXPECT_EQ(QImageReader(parallelOut.filePath(QStringLiteral("report-001.jpg"))).size(),
              QSize(600, 600))
        << "page 1 of the lower row";
    EXPECT_EQ(contents(parallelOut.path()).size(), 1)
        << "page 2 of the upper row is gone: no name mixes two documents";
}

TEST_F(ConversionPoolTest, StoppingKeepsDeliveredPagesAndNamesTheRest) {
    const QString first = file(QStringLiteral("first.ps"), test::SquarePages(1));
    const QString loop = file(QStringLiteral("loop.ps"), "%!PS\n{} loop\n");
    const QString last = file(QStringLiteral("last.ps"), test::SquarePages(1));
    const struct Row {
        int jobs;
        const char* why;
    } rows[] = {
        {1, "the last file never started"},
        {3, "the last file was rendered but waits behind the endless one"},
    };
    for (const Row& row : rows) {
        QDir(in.path()).remove(QStringLiteral("first-001.jpg"));
        h.sources.clear();
        h.sources.append({first, loop, last});
        h.settings.jobs = row.jobs;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QFileInfo::exists(in.filePath(QStringLiteral("first-001.jpg")))) {
                poll.stop();
                h.conversion().stop();
            }
        });
        poll.start(kPollMs);
        const auto started = std::chrono::steady_clock::now();
        const RunSummary summary = h.run();

        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << row.why;
        EXPECT_EQ(summary.status, Status::StoppedByUser) << row.why;
        EXPECT_EQ(summary.message(),
                  QStringLiteral("Stopped.\n%1: stopped\n%2: stopped").arg(loop, last))
            << row.why;
        EXPECT_TRUE(QFileInfo::exists(in.filePath(QStringLiteral("first-001.jpg")))) << row.why;
        EXPECT_FALSE(QFileInfo::exists(in.filePath(QStringLiteral("last-001.jpg")))) << row.why;
        EXPECT_EQ(h.childrenLeft(), 0) << row.why;
        EXPECT_EQ(h.leftInTemp(), QStringList{}) << row.why;
        EXPECT_FALSE(h.conversion().isConverting()) << row.why;
    }
}

} // namespace
