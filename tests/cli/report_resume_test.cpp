// The report written as the run goes and --resume, with the real program
// and Ghostscript: a run killed at any moment leaves whole lines for what it
// finished, and resuming converts exactly the rest, as one run would have.
#include "support/convert_command.h"
#include "support/test_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <optional>

using velmora::test::ConvertCommand;
using velmora::test::ReadFile;
using velmora::test::SquarePages;
using velmora::test::WriteFile;

namespace {

// How long the slow document keeps its Ghostscript busy: long enough to be
// caught at work, short enough for a test.
constexpr int kSlowMs = 4000;
constexpr int kPollMs = 50;
constexpr int kSignalExit = 128;

// Pages preceded by a wait on Ghostscript's own clock, so a document is slow
// on any machine by the same amount.
QByteArray slowPages(int pages) {
    return SquarePages(pages, 72,
                       "/velmora-start realtime def { realtime velmora-start sub " +
                           QByteArray::number(kSlowMs) + " ge { exit } if } loop\n");
}

QMap<QString, QByteArray> pages(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files)) {
        files.insert(name, ReadFile(folder + QLatin1Char('/') + name));
    }
    return files;
}

// The report's lines, each of which must be a whole JSON object; `damaged`
// names the one line (counted from 1) that may be otherwise.
QList<QJsonObject> reportLines(const QString& path, int damaged = 0) {
    const QByteArray report = ReadFile(path);
    EXPECT_TRUE(report.isEmpty() || report.endsWith('\n')) << "no line is left half written";
    QList<QJsonObject> lines;
    const QList<QByteArray> texts = report.split('\n');
    for (qsizetype i = 0; i + 1 < texts.size(); ++i) {
        if (i + 1 == damaged) {
            continue;
        }
        QJsonParseError error{};
        const QJsonDocument line = QJsonDocument::fromJson(texts[i], &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError)
            << "line " << i + 1 << ": " << texts[i].constData();
        lines.append(line.object());
    }
    return lines;
}

QStringList sourcesOf(const QList<QJsonObject>& lines) {
    QStringList sources;
    for (const QJsonObject& line : lines) {
        sources.append(line[QStringLiteral("source")].toString());
    }
    return sources;
}

int lineCount(const QString& path) {
    return static_cast<int>(ReadFile(path).count('\n'));
}

void setTime(const QString& path, qint64 seconds) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(seconds),
                                 QFileDevice::FileModificationTime));
}

class ReportResume : public ::testing::Test {
protected:
    QString document(const char* name, const QByteArray& content) {
        const QString path = WriteFile(in.filePath(QLatin1String(name)), content);
        all.append(path);
        return path;
    }
    ConvertCommand command(const QStringList& options) {
        return ConvertCommand(options + QStringList{in.path()}, temp.path());
    }
    // Starts a conversion into `out` and ends it the hard way, with `signal`,
    // once its report holds `lines` lines.
    ConvertCommand& stopAt(std::optional<ConvertCommand>& run, const QStringList& options,
                           int lines, int signal) {
        run.emplace(options + QStringList{in.path()}, temp.path());
        run->start();
        while (lineCount(report) < lines && !run->process.waitForFinished(kPollMs)) {
        }
        EXPECT_EQ(run->process.state(), QProcess::Running) << "the run ended before the signal";
        ::kill(static_cast<pid_t>(run->process.processId()), signal);
        run->finish();
        return *run;
    }

    QTemporaryDir in, out, plain, work, temp;
    const QString report = work.filePath(QStringLiteral("report.jsonl"));
    QStringList all;
};

TEST_F(ReportResume, AKilledRunLeavesWholeLinesAndResumingFinishesItAsOneRunWould) {
    document("a.ps", SquarePages(1));
    document("b.ps", SquarePages(3));
    document("c.ps", SquarePages(2));
    document("d.ps", slowPages(2));
    document("e.ps", SquarePages(1));
    document("f.ps", SquarePages(2));
    ConvertCommand whole = command({QStringLiteral("--output-dir"), plain.path()});
    whole.run();
    ASSERT_EQ(whole.exitCode, 0) << qPrintable(whole.err);
    const QMap<QString, QByteArray> onePlainRun = pages(plain.path());
    ASSERT_EQ(onePlainRun.size(), 1 + 3 + 2 + 2 + 1 + 2);

    const QStringList options{QStringLiteral("--jobs"), QStringLiteral("1"),
                              QStringLiteral("--output-dir"), out.path()};
    std::optional<ConvertCommand> killed;
    stopAt(killed, options + QStringList{QStringLiteral("--report"), report}, 3, SIGKILL);
    EXPECT_FALSE(killed->process.exitStatus() == QProcess::NormalExit);
    const QList<QJsonObject> left = reportLines(report);
    ASSERT_EQ(sourcesOf(left), all.mid(0, 3)) << "a line for each source that ended, in order";
    QStringList reportedPages;
    for (const QJsonObject& line : left) {
        EXPECT_TRUE(line[QStringLiteral("failure")].isNull());
        EXPECT_EQ(line[QStringLiteral("size")].toInteger(),
                  QFileInfo(line[QStringLiteral("source")].toString()).size());
        for (const auto& page : line[QStringLiteral("pages")].toArray()) {
            const QString name = QFileInfo(page.toString()).fileName();
            EXPECT_EQ(ReadFile(page.toString()), onePlainRun.value(name)) << qPrintable(name);
            reportedPages.append(name);
        }
    }
    EXPECT_EQ(pages(out.path()).keys(), reportedPages) << "no page beyond those reported";
    EXPECT_EQ(velmora::test::FolderEntries(temp.path()).size(), 1)
        << "the killed run's work folder, with copies of the documents";

    ConvertCommand list = command({QStringLiteral("--list"), QStringLiteral("--resume"), report});
    list.run();
    EXPECT_EQ(list.outLines(), all.mid(3)) << "--list shows what is left";
    EXPECT_EQ(lineCount(report), 3) << "--list writes nothing";

    ConvertCommand resumed = command(options + QStringList{QStringLiteral("--resume"), report});
    resumed.run();
    EXPECT_EQ(resumed.exitCode, 0) << qPrintable(resumed.err);
    EXPECT_EQ(sourcesOf(reportLines(report)), all)
        << "the rest, added after the killed run's lines";
    EXPECT_TRUE(pages(out.path()) == onePlainRun) << "same names, same bytes as one run";
    EXPECT_EQ(velmora::test::FolderEntries(temp.path()), QStringList{})
        << "the next run removed what the killed one left";

    ConvertCommand again = command(options + QStringList{QStringLiteral("--resume"), report});
    again.run();
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.err, QStringLiteral("velmora-convert: nothing left to convert (6 already "
                                        "converted)\n"));
    EXPECT_EQ(lineCount(report), 6);
}

TEST_F(ReportResume, AnInterruptedRunLeavesNoLineForWhatItStopped) {
    document("a.ps", SquarePages(1));
    document("b.ps", slowPages(1));
    document("c.ps", SquarePages(1));
    const QStringList options{QStringLiteral("--jobs"),       QStringLiteral("1"),
                              QStringLiteral("--output-dir"), out.path(),
                              QStringLiteral("--report"),     report};
    std::optional<ConvertCommand> stopped;
    stopAt(stopped, options, 1, SIGINT);
    EXPECT_EQ(stopped->exitCode, kSignalExit + SIGINT);
    EXPECT_EQ(sourcesOf(reportLines(report)), all.mid(0, 1))
        << "b was stopped and c never began: a resumed run converts both";
    ConvertCommand list = command({QStringLiteral("--list"), QStringLiteral("--resume"), report});
    list.run();
    EXPECT_EQ(list.outLines(), all.mid(1));
}

TEST_F(ReportResume, ASourceChangedSinceItsLineIsConvertedAgain) {
    // A time the test gives every source, and the one a touched source gets.
    constexpr qint64 kConvertedTime = 1500000000;
    constexpr qint64 kTouchedTime = kConvertedTime + 60;
    const struct Row {
        const char* name;
        void (*change)(const QString& path);
        bool redone;
        const char* why;
    } rows[] = {
        {"same.ps", [](const QString&) {}, false, "untouched"},
        {"touched.ps", [](const QString& path) { setTime(path, kTouchedTime); }, true,
         "touched: a new time"},
        {"longer.ps",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("\n");
             file.close();
             setTime(path, kConvertedTime);
         },
         true, "a byte longer, its time set back"},
        {"gone.ps", [](const QString& path) { QFile::remove(path); }, true,
         "removed: converted again, and so named as missing"},
    };
    for (const Row& row : rows) {
        setTime(document(row.name, SquarePages(1)), kConvertedTime);
    }
    const QStringList options{QStringLiteral("--output-dir"), out.path(),
                              QStringLiteral("--resume"), report};
    ConvertCommand first = command(options);
    first.run();
    EXPECT_EQ(first.exitCode, 0) << qPrintable(first.err);
    EXPECT_FALSE(first.err.contains(report)) << "a missing report is no trouble";
    ASSERT_EQ(lineCount(report), 4);

    QStringList redone;
    for (const Row& row : rows) {
        const QString path = in.filePath(QLatin1String(row.name));
        row.change(path);
        if (row.redone) {
            redone.append(path);
        }
    }
    // Folder arguments list only what is there: the removed one is named.
    ConvertCommand resumed(options + all, temp.path());
    resumed.run();
    EXPECT_EQ(sourcesOf(reportLines(report)).mid(4), redone);
    for (const Row& row : rows) {
        EXPECT_EQ(sourcesOf(reportLines(report)).count(in.filePath(QLatin1String(row.name))),
                  row.redone ? 2 : 1)
            << row.why;
    }
    EXPECT_EQ(resumed.exitCode, 1) << "the removed source fails";
}

TEST_F(ReportResume, ADamagedLastLineIsPassedOverWithOneWarning) {
    document("a.ps", SquarePages(1));
    document("b.ps", SquarePages(1));
    document("c.ps", SquarePages(1));
    const QStringList options{QStringLiteral("--output-dir"), out.path(),
                              QStringLiteral("--resume"), report};
    ConvertCommand first = command(options);
    first.run();
    ASSERT_EQ(lineCount(report), 3);
    // What a kill during the last write leaves on a system that writes a
    // line in pieces: the start of it, no newline.
    QByteArray text = ReadFile(report);
    text.chop(text.size() - text.lastIndexOf('\n', text.size() - 2) - 1 - 20);
    WriteFile(report, text);

    ConvertCommand resumed = command(options);
    resumed.run();
    EXPECT_EQ(resumed.exitCode, 0) << qPrintable(resumed.err);
    EXPECT_EQ(resumed.err.count(QStringLiteral("damaged")), 1);
    EXPECT_TRUE(resumed.err.contains(QStringLiteral("velmora-convert: %1: line 3 is damaged; "
                                                    "it is passed over\n")
                                         .arg(report)))
        << qPrintable(resumed.err);
    EXPECT_EQ(sourcesOf(reportLines(report, 3)), all)
        << "a and b as read, c converted again on a line of its own";
}

// A report that cannot take the run's lines is refused before any page is
// made; one that fills up later names what it lost.
TEST_F(ReportResume, ReportOptionsAndTheirTrouble) {
    const QString missingFolder = work.filePath(QStringLiteral("no/such/report.jsonl"));
    const QString plainFile = WriteFile(work.filePath(QStringLiteral("plain")), "x");
    const QString underAFile = plainFile + QStringLiteral("/report.jsonl");
    const QString fullDisk = QStringLiteral("/dev/full");
    const struct Row {
        QStringList options;
        int exitCode;
        int pages;
        QString troubleNamed; // a line on stderr "velmora-convert: <this>: "
        QString afterDone;    // the line after "Done." that names the lost line
        const char* why;
    } rows[] = {
        {{QStringLiteral("--resume"), report, QStringLiteral("--report"),
          work.filePath(QStringLiteral("other.jsonl"))},
         2,
         0,
         {},
         {},
         "two different reports"},
        {{QStringLiteral("--resume"), report, QStringLiteral("--report"),
          work.path() + QStringLiteral("/../") + QFileInfo(work.path()).fileName() +
              QStringLiteral("/report.jsonl")},
         0,
         1,
         {},
         {},
         "the same report, spelt two ways"},
        {{QStringLiteral("--report"), missingFolder},
         2,
         0,
         missingFolder,
         {},
         "a report in a missing folder is refused before anything converts"},
        {{QStringLiteral("--resume"), missingFolder},
         2,
         0,
         missingFolder,
         {},
         "so is one to resume from"},
        {{QStringLiteral("--report"), underAFile},
         2,
         0,
         underAFile,
         {},
         "and one whose folder is a plain file"},
        {{QStringLiteral("--report"), fullDisk},
         1,
         1,
         fullDisk,
         in.filePath(QStringLiteral("a.ps")) +
             QStringLiteral(
                 ": its line could not be added to the report (No space left on device)"),
         "a line that cannot be written later names its source and fails the run"},
    };
    document("a.ps", SquarePages(1));
    for (const Row& row : rows) {
        QFile::remove(report);
        QDir(out.path()).removeRecursively();
        ConvertCommand run =
            command(QStringList{QStringLiteral("--output-dir"), out.path()} + row.options);
        run.run();
        EXPECT_EQ(run.exitCode, row.exitCode) << row.why << ": " << qPrintable(run.err);
        EXPECT_EQ(pages(out.path()).size(), row.pages) << row.why;
        if (!row.troubleNamed.isEmpty()) {
            EXPECT_EQ(run.err.count(QStringLiteral("velmora-convert: ") + row.troubleNamed + ": "),
                      1)
                << row.why << ": " << qPrintable(run.err);
        }
        if (!row.afterDone.isEmpty()) {
            EXPECT_EQ(run.outLines(), (QStringList{QStringLiteral("Done."), row.afterDone}))
                << row.why;
        }
        if (row.exitCode == 0) {
            EXPECT_EQ(lineCount(report), 1) << row.why;
        }
    }
}

} // namespace
