// End to end with the real Ghostscript: the run, both stages and the scripts.
#include "convert/conversion_run.h"
#include "support/conversion_harness.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <utility>

using namespace velmora;
using ::testing::ElementsAre;
using velmora::test::ConversionHarness;
using Choice = OutputChoice;
using Status = RunSummary::Status;

namespace {

QString samples() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Samples/");
}

QByteArray onePage(const QByteArray& text = "page") {
    return "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\n"
           "/Helvetica findfont 20 scalefont setfont 72 700 moveto (" +
           text + ") show showpage\n%%EOF\n";
}

QByteArray pages(int count) {
    QByteArray doc = "%!PS-Adobe-3.0\n%%Pages: " + QByteArray::number(count) + "\n%%EndComments\n";
    for (int i = 1; i <= count; ++i) {
        doc += "%%Page: " + QByteArray::number(i) + ' ' + QByteArray::number(i) +
               "\n/Helvetica findfont 20 scalefont setfont 72 700 moveto (" +
               QByteArray::number(i) + ") show showpage\n";
    }
    return doc + "%%EOF\n";
}

// The failed files of a run, for a failing test to show.
QString failures(const RunSummary& summary) {
    QStringList lines;
    for (const FileOutcome& file : summary.files) {
        if (file.failed()) {
            lines.append(file.source + QStringLiteral(": ") + file.failure.text());
        }
    }
    return lines.join(QLatin1Char('\n'));
}

class ConversionRunTest : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& content) {
        return test::WriteFile(in.filePath(name), content);
    }
    QStringList listed(const QTemporaryDir& dir,
                       const QString& filter = QStringLiteral("*.jpg")) const {
        return QDir(dir.path()).entryList({filter}, QDir::Files | QDir::Hidden, QDir::Name);
    }

    ConversionHarness h;
    QTemporaryDir in;
    QTemporaryDir out;
};

TEST_F(ConversionRunTest, SamplesBecomePagesBesideTheirSources) {
    for (const QString& name : QDir(samples()).entryList(QDir::Files)) {
        ASSERT_TRUE(QFile::copy(samples() + name, in.filePath(name)));
        h.sources.append(in.filePath(name));
    }
    ASSERT_EQ(h.sources.count(), 4);

    const RunSummary summary = h.run();

    EXPECT_EQ(summary.status, Status::Converted);
    EXPECT_TRUE(summary.allSucceeded()) << qPrintable(failures(summary));
    EXPECT_EQ(listed(in), (QStringList{"brochure-001.jpg", "brochure-002.jpg", "brochure-003.jpg",
                                       "colours-001.jpg", "drawing-001.jpg", "letter-001.jpg"}));
    EXPECT_EQ(listed(in, QStringLiteral("*.pdf")), QStringList{}) << "no intermediate PDF left";
    QImageReader letter(in.filePath(QStringLiteral("letter-001.jpg")));
    EXPECT_EQ(letter.size(), QSize(2550, 3300)) << "US Letter at 300 dpi";
    EXPECT_EQ(letter.format(), QByteArray("jpeg"));

    // The bar moves with the pages, never back, up to the end.
    ASSERT_GT(h.progressValues.size(), 5);
    EXPECT_TRUE(std::is_sorted(h.progressValues.begin(), h.progressValues.end()));
    EXPECT_EQ(h.progressValues.last(), 100);
    EXPECT_EQ(h.progressSources.first(), in.filePath(QStringLiteral("brochure.ps")));
    EXPECT_EQ(h.ended.size(), 4) << "each file's outcome was reported as it ended";
    EXPECT_EQ(h.leftInTemp(), QStringList{}) << "the work folder is gone";
    EXPECT_FALSE(h.conversion().isConverting());
}

// "Min." must give the smallest pages: Ghostscript takes 0 for its default 75.
TEST_F(ConversionRunTest, QualityReachesThePages) {
    h.output = Choice::Folder;
    h.sources.append(samples() + QStringLiteral("colours.ps"));
    QMap<int, QByteArray> pages;
    for (const int quality : {0, 1, 75, 100}) {
        QTemporaryDir into;
        h.outputFolder = into.path();
        h.quality = quality;
        h.run();
        pages[quality] = test::ReadFile(into.filePath(QStringLiteral("colours-001.jpg")));
        ASSERT_FALSE(pages[quality].isEmpty()) << quality;
    }
    EXPECT_EQ(pages[0], pages[1]) << "0 is Ghostscript's lowest quality";
    EXPECT_LT(pages[1].size(), pages[75].size()) << "and below its default";
    EXPECT_LT(pages[75].size(), pages[100].size());
}

TEST_F(ConversionRunTest, PagesAreNamedAfterTheSource) {
    struct Row {
        const char* source;
        const char* page;
        const char* why;
    } rows[] = {
        {"my.report.ps", "my-001.jpg", "prefix ends at the first dot"},
        {"data", "data-001.jpg", "no extension"},
        {".x.ps", "-001.jpg", "a leading dot leaves an empty prefix"},
        {"a b 'q' \"d\" ;$(touch pwned).ps", "a b 'q' \"d\" ;$(touch pwned)-001.jpg",
         "spaces, quotes, ; and $(...) are plain characters"},
        {"-leading.ps", "-leading-001.jpg", "a leading dash is no option"},
        {"über straße 日本.ps", "über straße 日本-001.jpg", "non-Latin letters"},
        {"100%.ps", "100%-001.jpg", "a percent sign reaches no Ghostscript template"},
    };
    h.output = Choice::Folder;
    h.outputFolder = out.path() + QLatin1Char('/'); // a closing separator is harmless
    for (const Row& row : rows) {
        h.sources.append(file(QString::fromUtf8(row.source), onePage()));
    }
    const RunSummary summary = h.run();
    EXPECT_TRUE(summary.allSucceeded()) << qPrintable(failures(summary));
    for (const Row& row : rows) {
        EXPECT_TRUE(QFileInfo::exists(out.filePath(QString::fromUtf8(row.page)))) << row.why;
    }
    EXPECT_EQ(listed(out).size(), std::size(rows));
    EXPECT_FALSE(QFileInfo::exists(QDir::current().filePath(QStringLiteral("pwned"))));
}

TEST_F(ConversionRunTest, APdfSourceGoesThroughBothStages) {
    // Make a real PDF with a first run, then convert it as a source.
    h.sources.append(file(QStringLiteral("two.ps"), pages(2)));
    h.run();
    ASSERT_TRUE(QFile::remove(in.filePath(QStringLiteral("two-001.jpg"))));
    h.sources.clear();
    QProcess gs;
    gs.start(QStringLiteral("gs"),
             {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
              QStringLiteral("-dNOPAUSE"), QStringLiteral("-sDEVICE=pdfwrite"),
              QStringLiteral("-sOutputFile=") + in.filePath(QStringLiteral("a.b.pdf")),
              in.filePath(QStringLiteral("two.ps"))});
    ASSERT_TRUE(gs.waitForFinished());
    h.sources.append(in.filePath(QStringLiteral("a.b.pdf")));
    h.output = Choice::Folder;
    h.outputFolder = out.path();
    const RunSummary summary = h.run();
    EXPECT_TRUE(summary.allSucceeded()) << qPrintable(failures(summary));
    EXPECT_EQ(listed(out), (QStringList{"a-001.jpg", "a-002.jpg"}));
    EXPECT_TRUE(QFileInfo::exists(in.filePath(QStringLiteral("a.b.pdf")))) << "the source stays";
}

TEST_F(ConversionRunTest, AUsersOwnPdfBesideTheSourceIsNeverTouched) {
    h.sources.append(file(QStringLiteral("report.ps"), onePage()));
    file(QStringLiteral("report.pdf"), "the user's own PDF");
    file(QStringLiteral("report-001.jpg"), "an old page");
    h.run();
    QFile pdf(in.filePath(QStringLiteral("report.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.readAll(), QByteArray("the user's own PDF"));
    EXPECT_GT(QFileInfo(in.filePath(QStringLiteral("report-001.jpg"))).size(), 1000)
        << "a page of the same name is replaced";
}

TEST_F(ConversionRunTest, NeitherOptionDeliversNothingAndLeavesNothing) {
    h.output = Choice::None;
    h.outputFolder = out.path(); // an existing folder lets the run start
    h.sources.append(file(QStringLiteral("memo.ps"), onePage()));
    const RunSummary summary = h.run();
    EXPECT_EQ(summary.status, Status::Converted);
    EXPECT_EQ(listed(in), QStringList{});
    EXPECT_EQ(listed(out), QStringList{});
    EXPECT_EQ(h.leftInTemp(), QStringList{});
    ASSERT_EQ(summary.files.size(), 1);
    EXPECT_EQ(summary.files[0].pages, 1);
    EXPECT_EQ(summary.files[0].delivered, 0);
}

TEST_F(ConversionRunTest, EachOutcomeDescribesItsSourceAsItWasOpened) {
    // A time the test sets, and a later one the source gets while it converts.
    constexpr qint64 kOpenedTime = 978307200;
    constexpr qint64 kChangedTime = kOpenedTime + 3600;
    const QByteArray content = onePage();
    const QString memo = file(QStringLiteral("memo.ps"), content);
    const auto setTime = [&](qint64 seconds) {
        QFile source(memo);
        ASSERT_TRUE(source.open(QIODevice::Append));
        ASSERT_TRUE(source.setFileTime(QDateTime::fromSecsSinceEpoch(seconds),
                                       QFileDevice::FileModificationTime));
    };
    setTime(kOpenedTime);
    h.sources = QStringList{memo, in.filePath(QStringLiteral("vanished.ps"))};
    bool changed = false;
    // The first progress comes once the files are taken in: a report that
    // looked at the source only at its end would see it changed.
    h.onProgress = [&] {
        if (!std::exchange(changed, true)) {
            QFile source(memo);
            ASSERT_TRUE(source.open(QIODevice::Append));
            source.write("% an afterthought\n");
            source.close();
            setTime(kChangedTime);
        }
    };
    const RunSummary summary = h.run();
    ASSERT_EQ(summary.files.size(), 2);
    EXPECT_FALSE(summary.files[0].failed()) << qPrintable(summary.files[0].failure.text());
    EXPECT_EQ(summary.files[0].size, content.size());
    EXPECT_EQ(summary.files[0].mtime, kOpenedTime);
    EXPECT_TRUE(changed);
    EXPECT_EQ(summary.files[1].size, FileOutcome::kUnknown) << "never opened";
    EXPECT_EQ(summary.files[1].mtime, FileOutcome::kUnknown) << "never opened";
}

TEST_F(ConversionRunTest, FailedFilesAreNamedAfterDone) {
    QByteArray random(4000, '\0');
    for (int i = 0; i < random.size(); ++i) {
        random[i] = static_cast<char>((i * 7919 + 13) % 251);
    }
    QByteArray truncated = pages(6);
    truncated.truncate(truncated.indexOf("%%Page: 4 4"));

    h.sources.append(file(QStringLiteral("random.ps"), random));
    h.sources.append(file(QStringLiteral("empty.ps"), {}));
    h.sources.append(file(QStringLiteral("truncated.ps"), truncated));
    h.sources.append(in.filePath(QStringLiteral("vanished.ps")));
    h.sources.append(file(QStringLiteral("good.ps"), pages(2)));
    const RunSummary summary = h.run();

    ASSERT_EQ(summary.files.size(), 5);
    // Random bytes are named for what they are not, with Ghostscript's words after.
    EXPECT_THAT(summary.files[0].failure.text().toStdString(),
                ::testing::StartsWith("not a PostScript or PDF file (Ghostscript: Error: "));
    EXPECT_EQ(summary.files[1].failure.text(), QStringLiteral("empty file"));
    // Ghostscript ended well: the pages it made are the document, whatever
    // its comments promised.
    EXPECT_FALSE(summary.files[2].failed()) << qPrintable(summary.files[2].failure.text());
    EXPECT_EQ(summary.files[2].pages, 3);
    EXPECT_EQ(summary.files[3].failure.text(), QStringLiteral("No such file or directory"));
    EXPECT_FALSE(summary.files[4].failed());
    EXPECT_FALSE(summary.allSucceeded());

    EXPECT_EQ(summary.files[0].source, in.filePath(QStringLiteral("random.ps")))
        << "outcomes in row order";

    // No junk pages for rejected input; the partial document keeps its pages.
    EXPECT_EQ(listed(in), (QStringList{"good-001.jpg", "good-002.jpg", "truncated-001.jpg",
                                       "truncated-002.jpg", "truncated-003.jpg"}));
    // A vanished source is no run-time failure of the program: no error box.
    EXPECT_TRUE(h.problems.isEmpty());
}

TEST_F(ConversionRunTest, AnEndlessDocumentIsStoppedAtTheTimeLimit) {
    h.settings.noProgressLimit = std::chrono::milliseconds(1500);
    h.sources.append(file(QStringLiteral("loop.ps"), "%!PS\n{} loop\n"));
    h.sources.append(file(QStringLiteral("after.ps"), onePage()));
    const auto started = std::chrono::steady_clock::now();
    const RunSummary summary = h.run();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
    ASSERT_EQ(summary.files.size(), 2);
    EXPECT_EQ(summary.files[0].failure.text(), QStringLiteral("no progress for 1.5 s"));
    EXPECT_FALSE(summary.files[1].failed()) << "the next file still converts";
    EXPECT_EQ(listed(in), QStringList{"after-001.jpg"});
    EXPECT_EQ(h.childrenLeft(), 0);
    EXPECT_EQ(h.leftInTemp(), QStringList{});
}

TEST_F(ConversionRunTest, ADiskNearlyFullStopsTheRunAndKeepsWhatWasDelivered) {
    h.sources.append(file(QStringLiteral("first.ps"), onePage()));
    h.sources.append(file(QStringLiteral("second.ps"), onePage()));
    h.sources.append(file(QStringLiteral("third.ps"), onePage()));
    // The disk fills up as soon as the first page is in place.
    const QString firstPage = in.filePath(QStringLiteral("first-001.jpg"));
    h.conversion().setDiskSpace([&](const QString&) {
        const qint64 disk = 100 * 1024 * ConversionSettings::kMB;
        return DiskSpace{QFileInfo::exists(firstPage) ? 100 * ConversionSettings::kMB : disk / 2,
                         disk};
    });
    const RunSummary summary = h.run();
    ASSERT_EQ(summary.files.size(), 3);
    EXPECT_FALSE(summary.files[0].failed());
    EXPECT_EQ(summary.files[1].failure.text(), QStringLiteral("disk nearly full"));
    EXPECT_EQ(summary.files[2].failure.text(), QStringLiteral("disk nearly full"))
        << "later files are skipped with the same reason";
    EXPECT_EQ(listed(in), QStringList{"first-001.jpg"});
    EXPECT_EQ(h.childrenLeft(), 0);
    EXPECT_EQ(h.leftInTemp(), QStringList{});
}

TEST_F(ConversionRunTest, ClosingDuringARunStopsGhostscriptAndCleansUp) {
    h.sources.append(file(QStringLiteral("loop.ps"), "%!PS\n{} loop\n"));
    h.sources.append(file(QStringLiteral("never.ps"), onePage()));
    QTimer::singleShot(500, [this] { h.conversion().cancel(); });
    const auto started = std::chrono::steady_clock::now();
    const RunSummary summary = h.run();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(summary.status, Status::Cancelled);
    EXPECT_EQ(h.childrenLeft(), 0);
    EXPECT_EQ(h.leftInTemp(), QStringList{});
    EXPECT_EQ(listed(in), QStringList{});
}

TEST_F(ConversionRunTest, TheWorkFolderIsPrivateAndDocumentsCannotWriteOutsideIt) {
    const QString target = out.filePath(QStringLiteral("escaped.txt"));
    const QByteArray writer = "%!PS\n(" + target.toUtf8() +
                              ") (w) file dup (gotcha) writestring closefile\n"
                              "(escaped-tmp.txt) (w) file closefile showpage\n";
    h.sources.append(file(QStringLiteral("writer.ps"), writer));
    QFileDevice::Permissions workPermissions;
    h.onProgress = [&] {
        const QFileInfoList work =
            QDir(h.temp.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (work.size() == 1) {
            workPermissions = work.first().permissions();
        }
    };
    h.run();
    EXPECT_FALSE(QFileInfo::exists(target)) << "nothing written outside the work folder";
    EXPECT_EQ(workPermissions & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                 QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions{});
    EXPECT_EQ(h.leftInTemp(), QStringList{});
}

TEST_F(ConversionRunTest, NothingToDoIsSaidBeforeAnythingIsPrepared) {
    QList<Status> statuses;
    statuses << h.run().status;
    h.sources.append(file(QStringLiteral("a.ps"), onePage()));
    h.output = Choice::Folder;
    h.outputFolder = out.filePath(QStringLiteral("missing"));
    statuses << h.run().status;
    h.outputFolder.clear();
    statuses << h.run().status;
    // Beside the source, the folder text does not matter.
    h.output = Choice::BesideSource;
    statuses << h.run().status;

    EXPECT_EQ(statuses, (QList<Status>{Status::NoFiles, Status::NoFolder, Status::NoFolder,
                                       Status::Converted}));
    EXPECT_EQ(h.leftInTemp(), QStringList{});
}

TEST_F(ConversionRunTest, WhatStartsIsWhatRunsAndASecondStartDoesNothing) {
    h.sources.append(file(QStringLiteral("a.ps"), onePage()));
    h.sources.append(file(QStringLiteral("b.ps"), onePage()));
    std::optional<bool> second;
    h.onProgress = [&] {
        if (!second) {
            RunRequest other;
            other.sources = QStringList{file(QStringLiteral("c.ps"), onePage())};
            second = h.conversion().start(other);
        }
    };
    const RunSummary summary = h.run();
    EXPECT_EQ(second, false);
    EXPECT_EQ(summary.files.size(), 2);
    EXPECT_EQ(listed(in), (QStringList{"a-001.jpg", "b-001.jpg"}));
}

TEST_F(ConversionRunTest, MissingGhostscriptOrScriptsAreSaidBeforeAnythingHappens) {
    h.sources.append(file(QStringLiteral("a.ps"), onePage()));
    h.settings.ghostscript = QStringLiteral("no-such-ghostscript-here");
    const RunSummary missing = h.run();
    EXPECT_EQ(missing.status, Status::MissingGhostscript);
    EXPECT_EQ(missing.ghostscript, QStringLiteral("no-such-ghostscript-here")) << "to name it";

    h.settings.ghostscript = QStringLiteral("gs");
    QTemporaryDir emptyProgramFolder;
    h.settings.programFolder = emptyProgramFolder.path();
    EXPECT_EQ(h.run().status, Status::NotPrepared);
    ASSERT_EQ(h.problems.size(), 1);
    EXPECT_TRUE(h.problems[0].boxText().contains(
        QStringLiteral("in Velmora2021/08/31.Form1.PushButton2_Click at line 114")));
    EXPECT_EQ(listed(in), QStringList{});
    EXPECT_EQ(h.leftInTemp(), QStringList{});
}

} // namespace
