// velmora-convert as a user runs it: the table's runs end before any Ghostscript starts
// (answers to the command line, sources refused unread); one run is stopped and resumed.
#include "cli/report_ledger.h"
#include "cli/run_report.h"
#include "convert/termination_signals.h"
#include "support/convert_command.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace velmora::test;
using velmora::ReportLedger;

namespace {

constexpr int kUsage = 2;
constexpr int kPollMs = 50;
constexpr int kSignalStatusBase = 128;
const QSize kPageSize(300, 300); // of SquarePages at 300 dpi
constexpr int kLargerSide = 96;  // points: 400 pixels

// The report line of a source converted as it is on disk now.
QByteArray convertedLine(const QString& source) {
    velmora::FileOutcome outcome;
    outcome.source = source;
    outcome.size = velmora::SourceStamp::of(source).size;
    outcome.mtime = velmora::SourceStamp::of(source).mtime;
    return velmora::RunReport::line(outcome);
}

struct Row {
    const char* why;
    QStringList arguments;
    int exitCode;
    QString out; // all of stdout
    QString err; // a part of stderr
};

Row row(const char* why, QStringList arguments, int exitCode, QString out, QString err) {
    return {why, std::move(arguments), exitCode, std::move(out), std::move(err)};
}

TEST(VelmoraConvert, AnswersAndRefusalsBeforeAnyGhostscript) {
    QTemporaryDir in, work, temp;
    const auto at = [](const QTemporaryDir& dir, const char* name) { return dir.filePath(name); };
    const QString a = WriteFile(at(in, "A.PS"), SquarePages(1));
    const QString b = WriteFile(at(in, "b.ps"), SquarePages(1));
    const QString c = WriteFile(at(in, "sub/c.ps"), SquarePages(1));
    const QString notes = WriteFile(at(in, "notes.txt"), "x");
    WriteFile(at(in, "~lock.ps"), SquarePages(1));
    WriteFile(at(in, ".hidden.ps"), SquarePages(1));
    const QString eps = WriteFile(at(work, "c.eps"), SquarePages(1));
    const QString empty = WriteFile(at(work, "empty.ps"), {});
    const QString fifo = at(work, "pipe.ps"), socket = at(work, "socket.ps");
    const QString link = at(work, "link.ps"), gone = at(work, "gone.ps");
    ASSERT_EQ(::mkfifo(qPrintable(fifo), 0600), 0);
    ASSERT_EQ(::mknod(qPrintable(socket), S_IFSOCK | 0600, 0), 0);
    ASSERT_TRUE(QFile::link(fifo, link));
    const QString report = at(work, "report.jsonl");
    const QString spelt =
        work.path() + "/../" + QFileInfo(work.path()).fileName() + "/report.jsonl";
    const QString part = WriteFile(at(work, "part.jsonl"), convertedLine(a) + convertedLine(c));
    const QString damaged =
        WriteFile(at(work, "damaged.jsonl"), convertedLine(a) + "{\"sou\n" + convertedLine(c));
    const QString noFolder = at(work, "no/such/report.jsonl");
    const QString notRegular = ": not a regular file\n";
    const Row rows[] = {
        row("nothing named", {}, kUsage, {}, "Name at least one file or folder.\n\nUsage:"),
        row("a quality above 100", {"--quality", "101", a}, kUsage, {}, "--quality takes"),
        row("a quality that is no number", {"--quality", "x", a}, kUsage, {}, "--quality takes"),
        row("no time without progress", {"--timeout", "0", a}, kUsage, {}, "--timeout takes"),
        row("no time for a document", {"--max-seconds", "0", a}, kUsage, {}, "--max-seconds"),
        row("no bytes to write", {"--write-limit", "0", a}, kUsage, {}, "--write-limit takes"),
        row("no Ghostscript at once", {"--jobs", "0", a}, kUsage, {}, "--jobs takes"),
        row("a part beyond the parts", {"--shard", "4/3", a}, kUsage, {}, "--shard takes"),
        row("two reports", {"--resume", report, "--report", part, a}, kUsage, {},
            "--report cannot"),
        row("an unknown option", {"--bogus"}, EXIT_FAILURE, {}, "Unknown option 'bogus'"),
        row("folders give their files of the extension, as Add All does",
            {"--list", in.path(), eps}, 0, a + '\n' + b + '\n' + c + '\n' + eps + '\n', {}),
        row("another extension", {"--list", "--extension", "txt", in.path()}, 0, notes + '\n', {}),
        row("one report, spelt two ways", {"--list", "--resume", report, "--report", spelt, eps}, 0,
            eps + '\n', {}),
        row("rows whose pages a later row replaces are named before converting",
            {"--list", "--output-dir", work.path(), c, eps}, 0, c + '\n' + eps + '\n',
            c + ": its pages were replaced by those of " + eps + " (same names in " + work.path()),
        row("more parts than inputs: this part has nothing to do", {"--shard", "4/4", in.path()}, 0,
            {}, "nothing to convert in shard 4/4"),
        row("--resume counts this part's sources only",
            {"--shard", "1/2", "--resume", part, a, b, c}, 0, {},
            "nothing left to convert (2 already converted)"),
        row("--list --resume shows what is left, a gone source too; a damaged line is passed over",
            {"--list", "--resume", damaged, in.path(), gone}, 0, b + '\n' + gone + '\n',
            damaged + ": line 2 is damaged; it is passed over"),
        row("a pages folder that cannot be made", {"--output-dir", empty + "/sub", a}, kUsage, {},
            empty + "/sub: Not a directory"),
        row("a report that cannot be written is refused before anything converts",
            {"--report", noFolder, a}, kUsage, {}, noFolder + ": "),
        row("sources that are no regular files never block, and the run goes on past each",
            {fifo, socket, "/dev/null", link, gone, empty}, 1,
            "Done.\n" + fifo + notRegular + socket + notRegular + "/dev/null" + notRegular + link +
                notRegular + gone + ": No such file or directory\n" + empty + ": empty file\n",
            "velmora-convert: " + gone + ": No such file or directory"),
        row("a line the report cannot take names its source and fails the run",
            {"--report", "/dev/full", empty}, 1,
            "Done.\n" + empty + ": empty file\n" + empty +
                ": its line could not be added to the report (No space left on device)\n",
            "velmora-convert: /dev/full: No space left on device"),
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        ConvertCommand command(row.arguments, temp.path());
        command.run();
        EXPECT_EQ(command.exitCode, row.exitCode) << qPrintable(command.err);
        EXPECT_EQ(command.out, row.out);
        EXPECT_TRUE(command.err.contains(row.err)) << qPrintable(command.err);
    }
    EXPECT_EQ(ReadFile(part).count('\n'), 2) << "a resumed run with nothing left writes nothing";
    EXPECT_FALSE(QFileInfo::exists(report)) << "--list writes no report";
    ConvertCommand help({"--help"}, temp.path());
    help.run();
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--output-dir")) << "help goes to stdout";
}

TEST(VelmoraConvert, TerminationSignalsArriveAsEvents) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) { // Ctrl+C, kill, a closed terminal
        velmora::TerminationSignals termination;
        QSignalSpy received(&termination, &velmora::TerminationSignals::received);
        ASSERT_EQ(::raise(signal), 0);
        while (received.isEmpty()) {
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(termination.lastSignal(), signal);
    }
}

// A run stopped by a signal ends its Ghostscript, removes its work folder and leaves a line
// for each source that ended; resumed, it converts the rest, into a folder made as `mkdir -p`
// would. a.ps's page replaces a.final.ps's first and its second goes; c.ps never ends, so the
// run is at work when stopped, and is mended before the run is resumed.
TEST(VelmoraConvert, AStoppedRunResumesToThePagesOfOneRun) {
    QTemporaryDir in, out, temp;
    const QStringList sources{WriteFile(in.filePath("a.final.ps"), SquarePages(2, kLargerSide)),
                              WriteFile(in.filePath("a.ps"), SquarePages(1)),
                              WriteFile(in.filePath("b.ps"), SquarePages(2)),
                              WriteFile(in.filePath("c.ps"), SquarePages(1, 72, "{} loop\n")),
                              WriteFile(in.filePath("d.ps"), SquarePages(1))};
    const QString pages = out.filePath("new/deeper");
    const QString report = out.filePath("report.jsonl");
    const QStringList options{"--jobs", "1", "--output-dir", pages, "--resume", report, in.path()};
    ConvertCommand stopped(options, temp.path());
    stopped.start();
    // Lines for a.final.ps (converted, then replaced), a.ps and b.ps; c.ps's Ghostscript at work.
    while ((ReadFile(report).count('\n') < 4 || ProcessesWorkingIn(temp.path()) == 0) &&
           !stopped.process.waitForFinished(kPollMs)) {
    }
    ::kill(static_cast<pid_t>(stopped.process.processId()), SIGTERM);
    stopped.finish();
    EXPECT_EQ(stopped.exitCode, kSignalStatusBase + SIGTERM) << qPrintable(stopped.err);
    EXPECT_TRUE(stopped.err.endsWith("Stopped.\n")) << qPrintable(stopped.err);
    // A killed process takes a moment to end; one that outlives the run meets the time-out.
    while (ProcessesWorkingIn(temp.path()) > 0) {
        QThread::msleep(kPollMs);
    }
    EXPECT_EQ(FolderEntries(temp.path()), QStringList{});
    EXPECT_EQ(ReportLedger::read(ReadFile(report)).remaining(sources), sources.mid(3))
        << "a line for each source that ended, none for the one stopped";
    EXPECT_EQ(FolderEntries(pages), QStringList({"a-001.jpg", "b-001.jpg", "b-002.jpg"}));
    EXPECT_EQ(JpegSize(pages + "/a-001.jpg"), kPageSize) << "a.ps's own page";

    WriteFile(sources[3], SquarePages(1));
    ConvertCommand resumed(options, temp.path());
    resumed.run();
    EXPECT_EQ(resumed.exitCode, 0) << qPrintable(resumed.err);
    EXPECT_EQ(resumed.out, "Done.\n");
    EXPECT_TRUE(resumed.err.contains("Processing: d.ps")) << qPrintable(resumed.err);
    EXPECT_EQ(FolderEntries(pages),
              QStringList({"a-001.jpg", "b-001.jpg", "b-002.jpg", "c-001.jpg", "d-001.jpg"}));
    EXPECT_EQ(JpegSize(pages + "/c-001.jpg"), kPageSize) << "the mended c.ps converted";
    EXPECT_EQ(ReportLedger::read(ReadFile(report)).remaining(sources), QStringList{});
    EXPECT_EQ(ReadFile(report).count('\n'), 6) << "the rest added after the stopped run's lines";
    EXPECT_EQ(FolderEntries(temp.path()), QStringList{});
}

} // namespace
