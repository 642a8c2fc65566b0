// What --resume reads from an earlier run's report, and the parts --shard
// splits a run's inputs into: the same on every system.
#include "cli/report_ledger.h"
#include "cli/shard.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"
#include "support/text.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using velmora::ReportLedger;
using velmora::Shard;
using velmora::SourceStamp;
using velmora::test::split;

namespace {

const QString kSource = QStringLiteral("/docs/a.ps");
constexpr qint64 kSize = 4096;
constexpr qint64 kTime = 1700000000;
const SourceStamp kNow{kSize, kTime};
const SourceStamp kTouched{kSize, kTime + 1};
const SourceStamp kLonger{kSize + 1, kTime};
const SourceStamp kGone{};

// One report line of kSource or another source, its fields as JSON text.
QByteArray line(const char* failure = "null", const char* size = "4096",
                const char* mtime = "1700000000", const char* source = "/docs/a.ps") {
    return QByteArray(R"({"source":")") + source + R"(","pages":[],"expected_pages":1,"failure":)" +
           failure + R"(,"seconds":0.5,"size":)" + size + R"(,"mtime":)" + mtime + "}\n";
}

TEST(ReportLedger, ASourceIsConvertedWhenItsLastReadLineSaysSoOfTheFileAsItIsNow) {
    const QByteArray whole = line();
    const QByteArray failed = line(R"("no page")");
    const struct Row {
        const char* why;
        QByteArray report;
        SourceStamp now;
        bool converted;
        int damagedLine;
    } rows[] = {
        {"no failure, same size and time", whole, kNow, true, 0},
        {"touched since: the time differs", whole, kTouched, false, 0},
        {"written to since: the size differs", whole, kLonger, false, 0},
        {"gone since: nothing on disk to match", whole, kGone, false, 0},
        {"it failed", failed, kNow, false, 0},
        {"a line without failure says nothing of how it ended",
         R"({"source":"/docs/a.ps","size":4096,"mtime":1700000000})"
         "\n",
         kNow, false, 0},
        {"its pages were replaced by a later source's",
         line(R"("replaced","replaced_by":"/docs/a.eps")"), kNow, true, 0},
        {"a report from before size and time were kept", line("null", "null", "null"), kNow, false,
         0},
        {"a time that is no whole number", line("null", "4096", "1700000000.5"), kNow, false, 0},
        {"only another source is recorded", line("null", "4096", "1700000000", "/docs/b.ps"), kNow,
         false, 0},
        {"a later run failed it again", whole + failed, kNow, false, 0},
        {"a later run converted what had failed", failed + whole, kNow, true, 0},
        {"a later run converted it as it was changed", line("null", "10", "5") + whole, kNow, true,
         0},
        {"no report yet", "", kNow, false, 0},
        {"blank lines are passed over", "\n" + whole + "\n  \n", kNow, true, 0},
        {"a whole last line without its newline", whole.chopped(1), kNow, true, 0},
        {"a damaged last line after it", whole + whole.left(whole.size() / 2), kNow, true, 2},
        {"the end of a file a crash filled with zeros", whole + QByteArray(8, '\0'), kNow, true, 2},
        {"its line comes after a damaged line, as after a resume",
         "{\"source\":\"/docs/b.ps\",\"pa\n" + whole, kNow, true, 1},
        {"a line after a damaged one still counts", whole + "{\"source\n" + failed, kNow, false, 2},
        {"JSON that is not an object", whole + "[1,2]\n" + failed, kNow, false, 2},
        {"an object without a source", whole + "{\"failure\":null}\n" + failed, kNow, false, 2},
        {"only the first damaged line is named", "{\"so\n" + whole + "[]\n", kNow, true, 1},
    };
    for (const Row& row : rows) {
        const ReportLedger ledger = ReportLedger::read(row.report);
        EXPECT_EQ(ledger.converted(kSource, row.now), row.converted) << row.why;
        EXPECT_EQ(ledger.damagedLine(), row.damagedLine) << row.why;
    }
}

TEST(ReportLedger, AStampIsTheFileAsItIsNow) {
    QTemporaryDir folder;
    const QString path = velmora::test::WriteFile(folder.filePath(QStringLiteral("a.ps")), "1234");
    EXPECT_EQ(SourceStamp::of(path).size, 4);
    EXPECT_TRUE(SourceStamp::of(path).matches(SourceStamp::of(path)));
    EXPECT_FALSE(SourceStamp::of(folder.filePath(QStringLiteral("gone.ps"))).known());
}

TEST(Shard, PartsAreDisjointAndTogetherTheWholeList) {
    for (const char* wrong : {"", "3", "0/3", "4/3", "1/0", "-1/2", "a/b", "1/2/3", "1.5/3"}) {
        EXPECT_FALSE(Shard::parse(QString::fromLatin1(wrong))) << wrong;
    }
    const QStringList inputs = split("a,b,c,d,e,f,g");
    EXPECT_EQ(Shard::parse(QStringLiteral("2/3"))->take(inputs), split("b,e"))
        << "every N-th input, so neighbours (often alike in length) go to different parts";
    for (int count = 1; count <= inputs.size() + 1; ++count) {
        QStringList together;
        for (int index = 1; index <= count; ++index) {
            together += Shard::parse(QStringLiteral("%1/%2").arg(index).arg(count))->take(inputs);
        }
        together.sort();
        EXPECT_EQ(together, inputs) << count << " parts";
    }
}

} // namespace
