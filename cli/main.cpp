// velmora-convert: the conversion engine from the command line.
#include "base/error_trap.h"
#include "base/qt_event_pump.h"
#include "cli/console_progress.h"
#include "cli/console_prompter.h"
#include "cli/fixed_output.h"
#include "convert/conversion_run.h"
#include "convert/termination_signals.h"
#include "filelist/file_list.h"
#include "filelist/folder_files.h"
#include "filelist/folder_scanner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

using namespace velmora;

namespace {

enum ExitCode { AllConverted = 0, SomeFailed = 1, BadUsage = 2 };

int usageError(const QCommandLineParser& parser, const QString& text) {
    std::fprintf(stderr, "%s\n\n%s", text.toUtf8().constData(),
                 parser.helpText().toUtf8().constData());
    return BadUsage;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Converts PostScript files into JPEG images, one per page, named after each "
                       "source (report.ps gives report-001.jpg, report-002.jpg, ...)."));
    parser.addHelpOption();
    parser.addVersionOption();
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
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Stop a Ghostscript stage that runs longer "
                                                    "than SECONDS (default 600)."),
                                     QStringLiteral("SECONDS"), QStringLiteral("600"));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QStringLiteral("Only print the files that would be converted."));
    parser.addOptions({quality, outputDir, extension, timeout, list});
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("PostScript files, or folders to take every file "
                                                "of the extension from (subfolders included)."),
                                 QStringLiteral("PATH..."));
    parser.process(app);

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
    if (parser.positionalArguments().isEmpty()) {
        return usageError(parser, QStringLiteral("Name at least one file or folder."));
    }

    ConsolePrompter prompter;
    QtEventPump events;
    const ScanContext scan{prompter, events};
    ErrorTrap trap(prompter, QStringLiteral("velmora-convert.AddFolder"));
    FileList sources;
    for (const QString& argument : parser.positionalArguments()) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            sources.append(
                CollectFolderFiles(info.absoluteFilePath(), parser.value(extension), scan, trap));
        } else {
            sources.append(info.absoluteFilePath());
        }
    }
    if (parser.isSet(list)) {
        for (const QString& path : sources.rows()) {
            std::printf("%s\n", path.toUtf8().constData());
        }
        return AllConverted;
    }

    ConsoleProgress progress;
    FixedOutput output(parser.isSet(outputDir) ? parser.value(outputDir) : QString());
    ConversionSettings settings;
    settings.programFolder = QCoreApplication::applicationDirPath();
    settings.tempFolder = qEnvironmentVariable("TMPDIR");
    settings.stageTimeLimit = std::chrono::seconds(seconds);
    ConversionRun run({prompter, events, progress, output, progress, sources,
                       [qualityValue] { return qualityValue; }},
                      settings);
    // Ctrl-C stops Ghostscript and removes the work folder before we go.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &app, [&run] { run.cancel(); });
    const RunSummary summary = run.PushButton2_Click();
    if (termination.lastSignal() != 0) {
        std::fprintf(stderr, "Stopped.\n");
        return 128 + termination.lastSignal();
    }
    return summary.allSucceeded() ? AllConverted : SomeFailed;
}
