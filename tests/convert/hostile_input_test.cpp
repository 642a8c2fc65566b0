// The engine under hostile input and failing disks: the program keeps
// working, loses nothing, and tells the user which file did not convert.
#include "convert/conversion_run.h"
#include "support/conversion_harness.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace velmora;
using ::testing::HasSubstr;
using velmora::test::ConversionHarness;
using Choice = OutputChoice;
using Status = RunSummary::Status;

namespace {

// A small file system of its own (root only; skipped elsewhere).
class Tmpfs {
public:
    Tmpfs(const QString& options) {
        if (QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               options, QStringLiteral("tmpfs"), dir.path()}) == 0) {
            mounted = true;
        }
    }
    ~Tmpfs() {
        if (mounted) {
            QProcess::execute(QStringLiteral("umount"), {dir.path()});
        }
    }
    QTemporaryDir dir;
    bool mounted = false;
};

class HostileInput : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& content) {
        return test::WriteFile(in.filePath(name), content);
    }
    static QStringList jpgs(const QString& folder) {
        return QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    }
    QStringList errorBoxes() const {
        QStringList boxes;
        for (const Problem& problem : h.problems) {
            boxes << problem.boxText();
        }
        return boxes;
    }

    ConversionHarness h;
    QTemporaryDir in;
};

TEST_F(HostileInput, AThousandAndOnePagesComeInPageOrder) {
    h.sources.append(file(QStringLiteral("big.ps"), test::SquarePages(1001, 36)));
    const RunSummary summary = h.run();
    ASSERT_EQ(summary.files.size(), 1);
    EXPECT_FALSE(summary.files[0].failed()) << qPrintable(summary.files[0].failure.text());
    const QStringList pages = jpgs(in.path());
    EXPECT_EQ(pages.size(), 1001);
    for (const char* name : {"big-001.jpg", "big-999.jpg", "big-1000.jpg", "big-1001.jpg"}) {
        EXPECT_TRUE(pages.contains(QString::fromLatin1(name))) << name;
    }
    EXPECT_FALSE(pages.contains(QStringLiteral("big-1002.jpg")));
    EXPECT_EQ(h.leftInTemp(), QStringList{});
}

TEST_F(HostileInput, TheOutputFolderRemovedDuringARun) {
    QTemporaryDir outParent;
    const QString out = outParent.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    h.output = Choice::Folder;
    h.outputFolder = out;
    h.sources.append(file(QStringLiteral("first.ps"), test::SquarePages(1)));
    h.sources.append(file(QStringLiteral("second.ps"), test::SquarePages(2)));
    h.onFileEnded = [&](const FileOutcome&) {
        // The folder goes away once the first file has been delivered.
        if (QFileInfo::exists(out + QStringLiteral("/first-001.jpg"))) {
            QDir(out).removeRecursively();
        }
    };
    const RunSummary summary = h.run();
    ASSERT_EQ(summary.files.size(), 2);
    EXPECT_FALSE(summary.files[0].failed());
    EXPECT_EQ(summary.files[1].failure.text(), QStringLiteral("2 of 2 pages could not be saved"));
    const QStringList boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 2) << "one box per page that could not be saved";
    EXPECT_THAT(boxes[0].toStdString(),
                HasSubstr("in Velmora2021/08/31.PDF.PDF_To_JPG at line 138"));
    EXPECT_EQ(summary.status, RunSummary::Status::Converted);
    EXPECT_EQ(h.leftInTemp(), QStringList{});

    // Once the folder is back, the same files convert again.
    ASSERT_TRUE(QDir().mkpath(out));
    h.onFileEnded = {};
    EXPECT_TRUE(h.run().allSucceeded());
    EXPECT_EQ(jpgs(out), (QStringList{"first-001.jpg", "second-001.jpg", "second-002.jpg"}));
}

// A host may stop or close the run from inside any report, while the engine
// is in the middle of a step: every row still ends exactly once, in order.
TEST_F(HostileInput, StoppingFromInsideAReportEndsEveryRowOnce) {
    QTemporaryDir outParent;
    const QString out = outParent.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    h.output = Choice::Folder;
    h.outputFolder = out;
    h.settings.jobs = 3;
    QStringList names;
    for (const char* name : {"first.ps", "second.ps", "third.ps", "fourth.ps"}) {
        names << file(QLatin1String(name), test::SquarePages(2));
        h.sources.append(names.back());
    }
    const struct Row {
        void (ConversionRun::*stop)();
        Status status;
        const char* why;
    } rows[] = {
        {&ConversionRun::stop, Status::StoppedByUser, "the user's stop from an error box"},
        {&ConversionRun::cancel, Status::Cancelled, "the window closed from an error box"},
    };
    for (const Row& row : rows) {
        QDir(out).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(out));
        h.onFileEnded = [&](const FileOutcome&) { QDir(out).removeRecursively(); };
        h.onProblem = [&](const Problem&) { (h.conversion().*row.stop)(); };
        h.problems.clear();
        const RunSummary summary = h.run();
        EXPECT_EQ(summary.status, row.status) << row.why;
        QStringList sources;
        for (const FileOutcome& outcome : summary.files) {
            sources << outcome.source;
        }
        EXPECT_EQ(sources, names) << row.why;
        EXPECT_FALSE(summary.files.value(0).failed()) << row.why;
        EXPECT_EQ(summary.files.value(1).failure.text(),
                  QStringLiteral("2 of 2 pages could not be saved"))
            << "the step under way ends as it would have: " << row.why;
        EXPECT_EQ(summary.files.value(3).failure.text(), QStringLiteral("stopped")) << row.why;
        EXPECT_EQ(h.childrenLeft(), 0) << row.why;
        EXPECT_EQ(h.leftInTemp(), QStringList{}) << row.why;
    }
    h.onProblem = {};
    h.onFileEnded = {};
}

TEST_F(HostileInput, AReadOnlyOutputFolderKeepsWhatItHeld) {
    Tmpfs readOnly(QStringLiteral("size=1m,mode=0755"));
    if (!readOnly.mounted) {
        GTEST_SKIP() << "cannot mount a file system here";
    }
    const QString old = readOnly.dir.filePath(QStringLiteral("memo-001.jpg"));
    test::WriteFile(old, "an older page");
    ASSERT_EQ(QProcess::execute(
                  QStringLiteral("mount"),
                  {QStringLiteral("-o"), QStringLiteral("remount,ro"), readOnly.dir.path()}),
              0);
    h.settings.diskReserveBytes = 0; // the write itself must fail
    h.output = Choice::Folder;
    h.outputFolder = readOnly.dir.path();
    h.sources.append(file(QStringLiteral("memo.ps"), test::SquarePages(1)));
    const RunSummary summary = h.run();
    EXPECT_EQ(summary.files.value(0).failure.text(),
              QStringLiteral("1 of 1 pages could not be saved"));
    ASSERT_EQ(errorBoxes().size(), 1);
    EXPECT_THAT(errorBoxes()[0].toStdString(), HasSubstr("Read-only file system"));
    EXPECT_EQ(test::ReadFile(old), QByteArray("an older page"));
    EXPECT_EQ(h.leftInTemp(), QStringList{});
}

TEST_F(HostileInput, AFullDiskReplacesNoPageWithAPieceOfOne) {
    Tmpfs small(QStringLiteral("size=128k"));
    if (!small.mounted) {
        GTEST_SKIP() << "cannot mount a file system here";
    }
    // The colour sample's page is larger than the whole file system.
    const QString old = small.dir.filePath(QStringLiteral("colours-001.jpg"));
    test::WriteFile(old, "an older page");
    h.settings.diskReserveBytes = 0; // the write itself must fail
    h.output = Choice::Folder;
    h.outputFolder = small.dir.path();
    h.sources.append(QCoreApplication::applicationDirPath() +
                     QStringLiteral("/Samples/colours.ps"));
    h.sources.append(file(QStringLiteral("tiny.ps"), test::SquarePages(1, 36)));
    const RunSummary summary = h.run();
    ASSERT_EQ(summary.files.size(), 2);
    EXPECT_EQ(summary.files[0].failure.text(), QStringLiteral("1 of 1 pages could not be saved"));
    EXPECT_THAT(errorBoxes().value(0).toStdString(), HasSubstr("No space left on device"));
    EXPECT_FALSE(summary.files[1].failed()) << "the next file still converts";
    EXPECT_EQ(test::ReadFile(old), QByteArray("an older page"));
    EXPECT_EQ(QDir(small.dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"colours-001.jpg", "tiny-001.jpg"}))
        << "no piece of a page is left behind";
}

TEST_F(HostileInput, AFullTempFolderFailsTheFileAndLeavesNothing) {
    Tmpfs small(QStringLiteral("size=64k"));
    if (!small.mounted) {
        GTEST_SKIP() << "cannot mount a file system here";
    }
    h.settings.diskReserveBytes = 0; // the write itself must fail
    h.settings.tempFolder = small.dir.path();
    h.sources.append(
        file(QStringLiteral("colours.ps"), test::ReadFile(QCoreApplication::applicationDirPath() +
                                                          QStringLiteral("/Samples/colours.ps"))));
    const RunSummary summary = h.run();
    ASSERT_EQ(summary.files.size(), 1);
    EXPECT_TRUE(summary.files[0].failed());
    EXPECT_EQ(jpgs(in.path()), QStringList{}) << qPrintable(summary.files[0].failure.text());
    EXPECT_EQ(QDir(small.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{});
}

} // namespace
