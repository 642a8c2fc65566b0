// velmora-convert: the conversion engine from the command line.
#include "base/folder_reader.h"
#include "base/located_trap.h"
#include "base/qt_event_pump.h"
#include "cli/console_progress.h"
#include "cli/console_prompter.h"
#include "cli/output_folder.h"
#include "cli/report_ledger.h"
#include "cli/run_ending.h"
#include "cli/run_report.h"
#include "cli/shard.h"
#include "convert/conversion_run.h"
#include "convert/page_names.h"
#include "convert/process_group.h"
#include "convert/run_request.h"
#include "convert/termination_signals.h"
#include "convert/work_layout.h"
#include "filelist/folder_files.h"
#include "filelist/folder_scanner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

using namespace velmora;

namespace {

enum ExitCode { AllConverted = 0, SomeFailed = 1, BadUsage = 2 };

int usageError(const QCommandLineParser& parser, const QString& text) {
    std::fprintf(stderr, "%s\n\n%s", text.toUtf8().constData(),
                 parser.helpText().toUtf8().constData());
    return BadUsage;
}

void reportTrouble(const QString& path, const QString& trouble) {
    std::fprintf(stderr, "velmora-convert: %s: %s\n", path.toUtf8().constData(),
                 trouble.toUtf8().constData());
}

// A named path the system cannot find is reported at once, the way other
// command-line tools do; it is still handed on, so the summary names it too.
void reportUnreachable(const QString& argument) {
    if (const std::optional<QString> why = WhyUnreachable(argument)) {
        reportTrouble(argument, *why);
    }
}

// The report an earlier run left, read only (for --list): nothing when there
// is none yet, which is no trouble, or when it cannot be read, which is.
QByteArray readEarlierReport(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        reportTrouble(path, file.errorString());
        return {};
    }
    return file.readAll();
}

// Parses the command line as QCommandLineParser::process() does, but says
// the help, the version and a wrong option on our own streams: Qt's own
// shows them in message boxes on Windows when the process has no console
// (started from a pipe, a scheduled task, a CI runner), where nobody may be
// there to close them. Returns the exit status when the program is done.
std::optional<int> parseOrAnswer(QCommandLineParser& parser, const QCommandLineOption& help,
                                 const QCommandLineOption& version) {
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                     parser.errorText().toUtf8().constData());
        return EXIT_FAILURE;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return EXIT_SUCCESS;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::printf("%s", parser.helpText().toUtf8().constData());
        return EXIT_SUCCESS;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Converts PostScript files into JPEG images, one per page, named after each "
                       "source (report.ps gives report-001.jpg, report-002.jpg, ...)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption quality(QStringLiteral("quality"),
                                     QStringLiteral("JPEG quality from 0 to 100 (default 75)."),
                                     QStringLiteral("N"), QStringLiteral("75"));
    const QCommandLineOption outputDir(QStringLiteral("output-dir"),
                                       QStringLiteral("Put every page into DIR instead of beside "
                                                      "its source."),
                                       QStringLiteral("DIR"));
    const QCommandLineOption extension(QStringLiteral("extension"),
                                       QStringLiteral("For folder arguments: the extension of the "
                                                      "files to take, * for all (default ps)."),
                                       QStringLiteral("EXT"), QStringLiteral("ps"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("Stop a Ghostscript that makes no progress (no new page, no more "
                       "output) for SECONDS (default 120)."),
        QStringLiteral("SECONDS"), QStringLiteral("120"));
    const QCommandLineOption jobs(QStringLiteral("jobs"),
                                  QStringLiteral("Run up to N Ghostscripts at once (default: the "
                                                 "number of cores; 1 converts one after another)."),
                                  QStringLiteral("N"),
                                  QString::number(std::max(1, QThread::idealThreadCount())));
    const QCommandLineOption shard(QStringLiteral("shard"),
                                   QStringLiteral("Take only the K-th of N disjoint parts of the "
                                                  "inputs, the same on every machine."),
                                   QStringLiteral("K/N"));
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("Write what became of each source to FILE, one "
                                                   "JSON object per line."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption resume(
        QStringLiteral("resume"),
        QStringLiteral("Skip the sources FILE records as converted that have not changed since; "
                       "convert the rest and add their lines to FILE (implies --report FILE)."),
        QStringLiteral("FILE"));
    const QCommandLineOption maxSeconds(
        QStringLiteral("max-seconds"),
        QStringLiteral("Stop a document that takes longer than SECONDS, both stages together "
                       "(default: no limit)."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption writeLimit(
        QStringLiteral("write-limit"),
        QStringLiteral("Stop a document whose PostScript stage writes more than MB megabytes, "
                       "its temp files included (default 1024)."),
        QStringLiteral("MB"), QStringLiteral("1024"));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Only print the files that would be converted."));
    parser.addOptions({quality, outputDir, extension, timeout, maxSeconds, writeLimit, jobs, shard,
                       report, resume, list});
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("PostScript files, or folders to take every file "
                                                "of the extension from (subfolders included)."),
                                 QStringLiteral("PATH..."));
    if (const std::optional<int> done = parseOrAnswer(parser, help, version)) {
        return *done;
    }

    bool ok = false;
    const int qualityValue = parser.value(quality).toInt(&ok);
    if (!ok || qualityValue < 0 || qualityValue > 100) {
        return usageError(parser, QStringLiteral("--quality takes a whole number from 0 to 100."));
    }
    const int seconds = parser.value(timeout).toInt(&ok);
    if (!ok || seconds <= 0) {
        return usageError(parser,
                          QStringLiteral("--timeout takes a whole number of seconds above 0."));
    }
    const int documentSeconds = parser.isSet(maxSeconds) ? parser.value(maxSeconds).toInt(&ok) : 0;
    if (!ok || documentSeconds < 0 || (parser.isSet(maxSeconds) && documentSeconds == 0)) {
        return usageError(parser,
                          QStringLiteral("--max-seconds takes a whole number of seconds above 0."));
    }
    const qint64 writeMB = parser.value(writeLimit).toLongLong(&ok);
    if (!ok || writeMB <= 0) {
        return usageError(parser, QStringLiteral("--write-limit takes a whole number above 0."));
    }
    const int jobCount = parser.value(jobs).toInt(&ok);
    if (!ok || jobCount < 1) {
        return usageError(parser, QStringLiteral("--jobs takes a whole number above 0."));
    }
    const std::optional<Shard> part =
        parser.isSet(shard) ? Shard::parse(parser.value(shard)) : Shard{};
    if (!part) {
        return usageError(parser,
                          QStringLiteral("--shard takes K/N with whole numbers 1 <= K <= N."));
    }
    if (parser.isSet(resume) && parser.isSet(report) &&
        QFileInfo(parser.value(resume)).absoluteFilePath() !=
            QFileInfo(parser.value(report)).absoluteFilePath()) {
        return usageError(parser, QStringLiteral("--resume FILE writes its report to FILE: "
                                                 "--report cannot name another file."));
    }
    const QString reportPath = parser.isSet(resume) ? parser.value(resume) : parser.value(report);
    if (parser.positionalArguments().isEmpty()) {
        return usageError(parser, QStringLiteral("Name at least one file or folder."));
    }

    ConsolePrompter prompter;
    QtEventPump events;
    const ScanContext scan{prompter, events};
    LocatedTrap<report_location::CommandLineFolder> trap(prompter);
    QStringList inputs;
    for (const QString& argument : parser.positionalArguments()) {
        reportUnreachable(argument);
        const QFileInfo info(argument);
        // Qt answers with "/" on every system; sources and their pages are
        // named with the system's own separator.
        const QString path = QDir::toNativeSeparators(info.absoluteFilePath());
        if (info.isDir()) {
            inputs.append(CollectFolderFiles(
                path, parser.value(extension), scan,
                trap.bind(report_location::CommandLineFolder::kListFolderFiles)));
        } else {
            inputs.append(path);
        }
    }
    QStringList sources = part->take(inputs);
    if (sources.isEmpty() && !inputs.isEmpty()) {
        // More machines than documents: this one simply has nothing to do.
        std::fprintf(stderr, "velmora-convert: nothing to convert in shard %d/%d\n", part->index,
                     part->count);
        return AllConverted;
    }
    // A pages folder that is not there yet is made, as `mkdir -p` would:
    // first, since the report may be meant to lie in it.
    if (parser.isSet(outputDir) && !parser.isSet(list)) {
        if (const std::optional<QString> why = MakeOutputFolder(parser.value(outputDir))) {
            reportTrouble(parser.value(outputDir), *why);
            return BadUsage;
        }
    }
    // Opened before the run, so each source's line is added the moment it
    // ends. A report that cannot be written is refused before anything
    // converts: a scheduler would take the run for a success, and a resumed
    // run would find no record of it.
    std::unique_ptr<RunReport> runReport;
    if (!reportPath.isEmpty() && !parser.isSet(list)) {
        runReport = std::make_unique<RunReport>(reportPath);
        const QString trouble = runReport->open();
        if (!trouble.isEmpty()) {
            reportTrouble(reportPath, trouble);
            return BadUsage;
        }
    }
    // Taken from this part's sources: each shard resumes from its own report.
    if (parser.isSet(resume) && !sources.isEmpty()) {
        const ReportLedger ledger =
            ReportLedger::read(runReport            ? runReport->earlier()
                               : parser.isSet(list) ? readEarlierReport(reportPath)
                                                    : QByteArray());
        if (ledger.damagedLine() > 0) {
            reportTrouble(
                reportPath,
                QStringLiteral("line %1 is damaged; it is passed over").arg(ledger.damagedLine()));
        }
        const QStringList remaining = ledger.remaining(sources);
        if (remaining.isEmpty()) {
            std::fprintf(stderr,
                         "velmora-convert: nothing left to convert (%lld already converted)\n",
                         static_cast<long long>(sources.size()));
            return AllConverted;
        }
        sources = remaining;
    }
    if (parser.isSet(list)) {
        for (const QString& path : sources) {
            std::printf("%s\n", path.toUtf8().constData());
        }
        // Rows whose pages a later row would replace, said before anything
        // converts, in the words the run would use after "Done.".
        const QList<PageNameClash> clashes = PageNameClashes(
            sources, parser.isSet(outputDir) ? OutputChoice::Folder : OutputChoice::BesideSource,
            QDir::toNativeSeparators(parser.value(outputDir)));
        for (const PageNameClash& clash : clashes) {
            reportTrouble(sources[clash.earlier],
                          FileFailure::replacedBy(sources[clash.later], clash.folder).text());
        }
        return AllConverted;
    }

    ConversionSettings settings;
    settings.programFolder = QCoreApplication::applicationDirPath();
    settings.tempFolder = WorkLayout::tempFolderFromEnvironment();
    settings.noProgressLimit = std::chrono::seconds(seconds);
    settings.fileTimeLimit = std::chrono::seconds(documentSeconds);
    settings.writeLimitBytes = writeMB * ConversionSettings::kMB;
    settings.jobs = jobCount;
    RunRequest request;
    request.sources = sources;
    request.quality = qualityValue;
    if (parser.isSet(outputDir)) {
        request.output = OutputChoice::Folder;
        request.outputFolder = parser.value(outputDir);
    }
    ConsoleProgress progress(runReport.get());
    ConversionRun run(progress, settings);
    // Ctrl-C stops Ghostscript and removes the work folder before we go.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &run, &ConversionRun::cancel);
    QObject::connect(&run, &ConversionRun::finished, &app, [&](const RunSummary& summary) {
        progress.finish();
        if (!summary.sandboxed) {
            std::fprintf(stderr,
                         "velmora-convert: no sandbox (%s): Ghostscript ran with -dSAFER only\n",
                         summary.sandboxMissing.toUtf8().constData());
        }
        UnwrittenReport unwritten;
        if (runReport && !runReport->writeError().isEmpty()) {
            reportTrouble(reportPath, runReport->writeError());
            unwritten = {runReport->unwritten(), runReport->writeError()};
        }
        if (termination.lastSignal() != 0) {
            std::fprintf(stderr, "Stopped.\n");
            app.exit(kSignalStatusBase + termination.lastSignal());
            return;
        }
        const RunEnding ending = CommandLineEnding(summary, request.outputFolder, unwritten);
        std::fputs(ending.err.toUtf8().constData(), stderr);
        std::fputs(ending.out.toUtf8().constData(), stdout);
        std::fflush(stdout);
        app.exit(ending.allConverted ? AllConverted : SomeFailed);
    });
    run.start(request);
    return app.exec();
}
