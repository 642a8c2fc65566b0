// The report of --report and --resume: a whole line added as each source
// ends, never cut short, and what --resume reads back from it; the parts
// --shard splits a run's inputs into; and the rows whose pages a later row
// replaces, which the report and --list name.
#include "base/path_helpers.h"
#include "cli/report_ledger.h"
#include "cli/run_report.h"
#include "cli/shard.h"
#include "convert/page_names.h"
#include "convert/page_owners.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"
#include "support/text.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::split;
using velmora::test::WriteFile;

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

// Rows whose pages take one name in one folder: the later row's replace the earlier's, and
// the rest of the earlier's go. --list predicts from the names what the run finds as it goes.
TEST(PageNameClash, ListPredictsWhatTheRunFinds) {
    const struct Row {
        const char* why;
        const char* sources; // in row order
        const char* pages;   // of each row
        bool intoFolder;
        int clashes;
    } rows[] = {
        {"one prefix into one folder, the earlier row longer", "a/i.ps,b/i.ps", "2,1", true, 1},
        {"one prefix beside the sources, in two folders", "a/i.ps,b/i.ps", "2,1", false, 0},
        {"report.ps and report.final.ps beside each other", "d/report.ps,d/report.final.ps", "1,2",
         false, 1},
        {"the earlier row shorter", "a/x.ps,b/x.ps", "1,3", true, 1},
        {"three rows of one prefix", "a/i.ps,b/i.ps,c/i.ps", "3,1,2", true, 2},
        {"one source listed twice makes its own pages again", "a/x.ps,a/x.ps", "2,2", true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        const QStringList sources = split(row.sources);
        const QStringList pages = split(row.pages);
        const OutputChoice output =
            row.intoFolder ? OutputChoice::Folder : OutputChoice::BesideSource;
        PageOwners owners;
        QMap<QString, int> folder; // each page there, and the row that placed it
        QList<PageNameClash> found;
        for (int at = 0; at < sources.size(); ++at) {
            const QString pagesFolder = PagesFolder(sources[at], output, "/out", PathStyle::Posix);
            QStringList placed;
            for (int page = 1; page <= pages[at].toInt(); ++page) {
                placed.append(DeliveredPageName(pagesFolder,
                                                SourcePagePrefix(sources[at], PathStyle::Posix),
                                                page, PathStyle::Posix));
                folder.insert(placed.back(), at);
            }
            for (const PageOwners::Replaced& earlier : owners.place(at, sources[at], placed)) {
                found.append({earlier.row, at, FolderOf(placed.front(), PathStyle::Posix)});
                for (const QString& page : earlier.leftover) {
                    EXPECT_EQ(folder.take(page), earlier.row) << "only its own pages go";
                }
            }
        }
        EXPECT_EQ(found, PageNameClashes(sources, output, "/out", PathStyle::Posix));
        EXPECT_EQ(found.size(), row.clashes);
        for (const PageNameClash& clash : found) {
            EXPECT_EQ(folder.keys(clash.earlier), QStringList()) << "a replaced row leaves nothing";
        }
    }
}

// Writing is checked where /dev/full stands for a full disk.
#ifndef Q_OS_WIN
FileOutcome outcome(FileFailure failure = {}, SourceStamp stamp = kNow) {
    FileOutcome ended;
    ended.source = kSource;
    ended.deliveredPaths = QStringList{QStringLiteral("/pages/a-001.jpg")};
    ended.failure = failure;
    ended.size = stamp.size;
    ended.mtime = stamp.mtime;
    return ended;
}

TEST(RunReport, EachEndedSourceIsAddedAfterWhatTheFileHeld) {
    const QByteArray done = RunReport::line(outcome());
    const QByteArray cut = R"({"source":"/do)";
    const FileFailure noPage = FileFailure::of(FileFailure::Kind::NoPage);
    const FileFailure stopped = FileFailure::of(FileFailure::Kind::Stopped);
    const FileFailure replaced = FileFailure::replacedBy("/docs/a.eps", "/pages");
    const struct Row {
        const char* why;
        std::optional<QByteArray> before; // nullopt: no file yet
        FileOutcome ended;
        QByteArray after;
        bool converted; // as --resume reads the file after
    } rows[] = {
        {"a new report", std::nullopt, outcome(), done, true},
        {"an existing report is added to, never cut short", done, outcome(), done + done, true},
        {"a failed source has its line", done, outcome(noPage),
         done + RunReport::line(outcome(noPage)), false},
        {"a source whose pages a later one replaced counts as converted", std::nullopt,
         outcome(replaced), RunReport::line(outcome(replaced)), true},
        {"a source the run stopped has none, so a resumed run converts it", std::nullopt,
         outcome(stopped), QByteArray(), false},
        {"a source never opened has no stamp to match", std::nullopt, outcome({}, kGone),
         RunReport::line(outcome({}, kGone)), false},
        {"a last line left without its end stays a line of its own", done + cut, outcome(),
         done + cut + '\n' + done, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("report.jsonl"));
        if (row.before) {
            WriteFile(path, *row.before);
        }
        RunReport report(path);
        ASSERT_EQ(report.open(), QString());
        EXPECT_EQ(report.earlier(), row.before.value_or(QByteArray()));
        report.append(row.ended);
        EXPECT_EQ(ReadFile(path), row.after) << "on disk at once, not when the run ends";
        EXPECT_EQ(report.writeError(), QString());
        EXPECT_EQ(ReportLedger::read(ReadFile(path)).converted(kSource, kNow), row.converted);
    }
    const QJsonObject line = QJsonDocument::fromJson(RunReport::line(outcome(replaced))).object();
    EXPECT_EQ(line.keys(), QStringList({"expected_pages", "failure", "mtime", "pages",
                                        "replaced_by", "seconds", "size", "source"}));
    EXPECT_EQ(line["replaced_by"].toString(), "/docs/a.eps");
    EXPECT_TRUE(QJsonDocument::fromJson(RunReport::line(outcome({}, kGone)))["size"].isNull());
}

TEST(RunReport, AReportThatCannotTakeALineSaysWhyAndNamesWhatItLost) {
    QTemporaryDir folder;
    RunReport missing(folder.filePath(QStringLiteral("missing/report.jsonl")));
    EXPECT_FALSE(missing.open().isEmpty());
    EXPECT_EQ(missing.earlier(), QByteArray());
    RunReport full(QStringLiteral("/dev/full"));
    ASSERT_EQ(full.open(), QString());
    for (RunReport* report : {&missing, &full}) {
        report->append(outcome());
        report->append(outcome());
        EXPECT_EQ(report->unwritten(), QStringList({kSource, kSource}));
    }
    EXPECT_EQ(full.writeError(), QStringLiteral("No space left on device"));
}
#endif

} // namespace
