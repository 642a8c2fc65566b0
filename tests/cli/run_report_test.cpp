// The report file as each source ends: added to, never cut short, one whole
// line per source that ended, and readable by --resume.
#include "cli/report_ledger.h"
#include "cli/run_report.h"
#include "support/test_files.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using velmora::FileFailure;
using velmora::FileOutcome;
using velmora::ReportLedger;
using velmora::RunReport;
using velmora::SourceStamp;
using velmora::test::ReadFile;
using velmora::test::WriteFile;

namespace {

constexpr qint64 kSize = 2048;
constexpr qint64 kTime = 1600000000;

FileOutcome outcome(FileFailure::Kind kind = FileFailure::Kind::None, qint64 size = kSize,
                    qint64 mtime = kTime) {
    FileOutcome ended;
    ended.source = QStringLiteral("/docs/a.ps");
    ended.deliveredPaths = QStringList{QStringLiteral("/pages/a-001.jpg")};
    ended.failure.kind = kind;
    ended.size = size;
    ended.mtime = mtime;
    return ended;
}

TEST(RunReport, EachEndedSourceIsAddedAfterWhatTheFileHeld) {
    const QByteArray earlierLine = RunReport::line(outcome());
    const QByteArray failedLine = RunReport::line(outcome(FileFailure::Kind::NoPage));
    const struct Row {
        const char* why;
        std::optional<QByteArray> before; // nullopt: no file yet
        FileOutcome ended;
        QByteArray after; // the file's content once the source ended
    } rows[] = {
        {"a new report", std::nullopt, outcome(), earlierLine},
        {"an existing report is added to, never cut short", earlierLine, outcome(),
         earlierLine + earlierLine},
        {"a failed source has its line", earlierLine, outcome(FileFailure::Kind::NoPage),
         earlierLine + failedLine},
        {"a source the run was stopped before its end has none", earlierLine,
         outcome(FileFailure::Kind::Stopped), earlierLine},
        {"a last line left without its end stays a line of its own",
         earlierLine + R"({"source":"/do)", outcome(),
         earlierLine + R"({"source":"/do)" + "\n" + earlierLine},
    };
    for (const Row& row : rows) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("report.jsonl"));
        if (row.before) {
            WriteFile(path, *row.before);
        }
        RunReport report(path);
        ASSERT_EQ(report.open(), QString()) << row.why;
        EXPECT_EQ(report.earlier(), row.before.value_or(QByteArray())) << row.why;
        report.append(row.ended);
        EXPECT_EQ(ReadFile(path), row.after) << row.why;
        EXPECT_EQ(report.writeError(), QString()) << row.why;
    }
}

TEST(RunReport, ALineReadsBackAsWhatBecameOfTheSource) {
    const struct Row {
        const char* why;
        FileOutcome ended;
        bool converted; // as ReportLedger reads it, the file unchanged
    } rows[] = {
        {"converted fully", outcome(), true},
        {"failed", outcome(FileFailure::Kind::PagesMissing), false},
        {"never opened: no size or time to match", outcome(FileFailure::Kind::None, -1, -1), false},
    };
    for (const Row& row : rows) {
        const QByteArray line = RunReport::line(row.ended);
        EXPECT_TRUE(line.endsWith('\n') && line.count('\n') == 1) << row.why;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        for (const char* key :
             {"source", "pages", "expected_pages", "failure", "seconds", "size", "mtime"}) {
            EXPECT_TRUE(object.contains(QLatin1String(key))) << row.why << ": " << key;
        }
        EXPECT_EQ(object[QStringLiteral("size")].isNull(), row.ended.size < 0) << row.why;
        EXPECT_EQ(object[QStringLiteral("mtime")].isNull(), row.ended.mtime < 0) << row.why;
        EXPECT_EQ(ReportLedger::read(line).converted(row.ended.source, {kSize, kTime}),
                  row.converted)
            << row.why;
    }
}

TEST(RunReport, AReportThatCannotBeOpenedSaysWhy) {
    QTemporaryDir folder;
    RunReport report(folder.filePath(QStringLiteral("missing/report.jsonl")));
    EXPECT_FALSE(report.open().isEmpty());
    report.append(outcome()); // goes nowhere, and does not crash
    EXPECT_EQ(report.earlier(), QByteArray());
}

} // namespace
