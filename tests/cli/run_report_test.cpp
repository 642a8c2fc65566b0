// The report file as each source ends: added to, never cut short, one whole
// line per source that ended, readable by --resume; and the rows whose pages
// a later row replaces, which the report and --list name.
#include "base/path_helpers.h"
#include "cli/report_ledger.h"
#include "cli/run_report.h"
#include "convert/page_names.h"
#include "convert/page_owners.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::ReadFile;
using velmora::test::WriteFile;

namespace {

const QString kSource = QStringLiteral("/docs/a.ps");
const SourceStamp kStamp{2048, 1600000000};
const SourceStamp kNeverOpened{};

FileOutcome outcome(FileFailure failure = {}, SourceStamp stamp = kStamp) {
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
        {"a source never opened has no stamp to match", std::nullopt, outcome({}, kNeverOpened),
         RunReport::line(outcome({}, kNeverOpened)), false},
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
        EXPECT_EQ(ReportLedger::read(ReadFile(path)).converted(kSource, kStamp), row.converted);
    }
    const QJsonObject line = QJsonDocument::fromJson(RunReport::line(outcome(replaced))).object();
    EXPECT_EQ(line.keys(), QStringList({"expected_pages", "failure", "mtime", "pages",
                                        "replaced_by", "seconds", "size", "source"}));
    EXPECT_EQ(line["replaced_by"].toString(), "/docs/a.eps");
    const QJsonDocument neverOpened =
        QJsonDocument::fromJson(RunReport::line(outcome({}, kNeverOpened)));
    EXPECT_TRUE(neverOpened["size"].isNull() && neverOpened["mtime"].isNull());
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

// Rows whose pages take one name in one folder: the later row's replace the
// earlier row's, and what is left of the earlier row goes, so no name in
// the folder mixes two documents. --list says so before a run, from the
// names alone; the run finds out as each row places its pages.
TEST(PageNameClash, ListPredictsWhatTheRunFinds) {
    const struct Row {
        const char* why;
        const char* sources; // in row order, split by ","
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
        const QStringList sources = QString(row.sources).split(',');
        const QStringList pages = QString(row.pages).split(',');
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

} // namespace
