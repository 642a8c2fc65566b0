// Reading an earlier run's report for --resume: which sources it says are
// converted, as the files they are now.
#include "cli/report_ledger.h"

#include <QHash>

#include <gtest/gtest.h>

using velmora::ReportLedger;
using velmora::SourceStamp;

namespace {

const QString kSource = QStringLiteral("/docs/a.ps");
constexpr qint64 kSize = 4096;
constexpr qint64 kTime = 1700000000;
const SourceStamp kNow{kSize, kTime};

// One report line of kSource or another source, its fields as JSON text.
QByteArray line(const char* failure = "null", const char* size = "4096",
                const char* mtime = "1700000000", const char* source = "/docs/a.ps") {
    return QByteArray(R"({"source":")") + source + R"(","pages":[],"expected_pages":1,"failure":)" +
           failure + R"(,"seconds":0.5,"size":)" + size + R"(,"mtime":)" + mtime + "}\n";
}

TEST(ReportLedger, ASourceIsConvertedWhenItsLastReadLineSaysSoOfTheFileAsItIsNow) {
    const QByteArray whole = line();
    const struct Row {
        const char* why;
        QByteArray report;
        SourceStamp now;
        bool converted;
        int damagedLine;
    } rows[] = {
        {"no failure, same size and time", whole, kNow, true, 0},
        {"touched since: the time differs", whole, {kSize, kTime + 1}, false, 0},
        {"written to since: the size differs", whole, {kSize + 1, kTime}, false, 0},
        {"gone since: nothing on disk to match", whole, {}, false, 0},
        {"it failed", line(R"("no page")"), kNow, false, 0},
        {"a line without failure says nothing of how it ended",
         R"({"source":"/docs/a.ps","size":4096,"mtime":1700000000})"
         "\n",
         kNow, false, 0},
        {"a report from before size and time were kept", line("null", "null", "null"), kNow, false,
         0},
        {"a time that is no whole number", line("null", "4096", "1700000000.5"), kNow, false, 0},
        {"only another source is recorded", line("null", "4096", "1700000000", "/docs/b.ps"), kNow,
         false, 0},
        {"a later run failed it again", whole + line(R"("no page")"), kNow, false, 0},
        {"a later run converted what had failed", line(R"("no page")") + whole, kNow, true, 0},
        {"a later run converted it as it was changed", line("null", "10", "5") + whole, kNow, true,
         0},
        {"no report yet", "", kNow, false, 0},
        {"blank lines are passed over", "\n" + whole + "\n  \n", kNow, true, 0},
        {"a whole last line without its newline", whole.chopped(1), kNow, true, 0},
        {"a damaged last line after it", whole + whole.left(whole.size() / 2), kNow, true, 2},
        {"the end of a file a crash filled with zeros", whole + QByteArray(8, '\0'), kNow, true, 2},
        {"its line comes after a damaged line, as after a resume",
         "{\"source\":\"/docs/b.ps\",\"pa\n" + whole, kNow, true, 1},
        {"a line after a damaged one still counts", whole + "{\"source\n" + line(R"("no page")"),
         kNow, false, 2},
        {"JSON that is not an object", whole + "[1,2]\n" + line(R"("no page")"), kNow, false, 2},
        {"an object without a source", whole + "{\"failure\":null}\n" + line(R"("no page")"), kNow,
         false, 2},
        {"only the first damaged line is named", "{\"so\n" + whole + "[]\n", kNow, true, 1},
    };
    for (const Row& row : rows) {
        const ReportLedger ledger = ReportLedger::read(row.report);
        EXPECT_EQ(ledger.converted(kSource, row.now), row.converted) << row.why;
        EXPECT_EQ(ledger.damagedLine(), row.damagedLine) << row.why;
    }
}

TEST(ReportLedger, TheRemainingSourcesKeepTheirOrder) {
    const QHash<QString, SourceStamp> disk{
        {QStringLiteral("/docs/a.ps"), kNow},
        {QStringLiteral("/docs/b.ps"), {kSize, kTime + 1}},
        {QStringLiteral("/docs/c.ps"), kNow},
        {QStringLiteral("/docs/d.ps"), kNow},
    };
    const ReportLedger ledger =
        ReportLedger::read(line("null", "4096", "1700000000", "/docs/d.ps") + line() +
                           line("null", "4096", "1700000000", "/docs/b.ps"));
    const QStringList remaining =
        ledger.remaining({QStringLiteral("/docs/c.ps"), QStringLiteral("/docs/b.ps"),
                          QStringLiteral("/docs/a.ps"), QStringLiteral("/docs/d.ps")},
                         [&](const QString& path) { return disk.value(path); });
    EXPECT_EQ(remaining, (QStringList{QStringLiteral("/docs/c.ps"), QStringLiteral("/docs/b.ps")}))
        << "c was never converted, b has changed since";
}

} // namespace
