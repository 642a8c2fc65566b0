#include "convert/conversion_run.h"

#include "base/error_trap.h"
#include "base/event_pump.h"
#include "base/failure.h"
#include "base/path_helpers.h"
#include "base/prompter.h"
#include "convert/busy_pointer.h"
#include "convert/output_target.h"
#include "convert/pdf_stages.h"
#include "convert/progress_display.h"
#include "convert/source_list.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace velmora {

bool RunSummary::allSucceeded() const {
    for (const FileOutcome& file : files) {
        if (file.failed()) {
            return false;
        }
    }
    return status == Status::Converted;
}

QString RunSummary::doneMessage() const {
    QString text = QStringLiteral("Done.");
    for (const FileOutcome& file : files) {
        if (file.failed()) {
            text += QLatin1Char('\n') + file.source + QStringLiteral(": ") + file.failure;
        }
    }
    return text;
}

ConversionRun::ConversionRun(ConversionWiring wiring, ConversionSettings settings)
    : m_wiring(std::move(wiring)), m_settings(std::move(settings)) {}

namespace {

// Copies the program's ps folder (our Ghostscript scripts) into the work folder.
void copyFolderContents(const QString& from, const QString& to) {
    if (!QDir(from).exists()) {
        throw Failure(QStringLiteral("Path not found: ") + QDir::toNativeSeparators(from), 76);
    }
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target)) {
                throw Failure(QStringLiteral("Could not create ") + target);
            }
        } else if (!QFile::copy(path, target)) {
            throw Failure(QStringLiteral("Could not copy %1 to %2").arg(path, target));
        }
    }
}

QString ghostscriptMissingText(const QString& program) {
    return QStringLiteral("Ghostscript (the program \"%1\") was not found, so nothing can be "
                          "converted.\n\nPlease install it (on Debian or Ubuntu: sudo apt-get "
                          "install ghostscript) and try again.")
        .arg(program);
}

} // namespace

RunSummary ConversionRun::PushButton2_Click() {
    RunSummary summary;
    // Step 100: a click during a run does nothing.
    if (m_converting) {
        summary.status = RunSummary::Status::AlreadyRunning;
        return summary;
    }
    Prompter& prompter = m_wiring.prompter;
    ErrorTrap trap(prompter, QStringLiteral("Form1.PushButton2_Click"));
    const PathStyle style = nativePathStyle();

    m_converting = true; // step 102
    m_cancellation.reset();
    struct Idle {
        bool& converting;
        ~Idle() { converting = false; } // step 154, on every way out
    } idle{m_converting};

    if (m_wiring.sources.count() == 0) { // step 104
        summary.status = RunSummary::Status::NoFiles;
        trap.step(152, [&] { prompter.message(QStringLiteral("No files added.")); });
        return summary;
    }
    bool haveOutput = true;
    trap.step(106, [&] {
        haveOutput = DirExists(m_wiring.output.folderText()) ||
                     m_wiring.output.choice() == OutputTarget::Choice::BesideSource;
    });
    if (!haveOutput) {
        summary.status = RunSummary::Status::NoFolder;
        trap.step(150, [&] {
            prompter.message(
                QStringLiteral("Folder does not exist. Please select another folder."));
        });
        return summary;
    }
    // Without Ghostscript every file would fail: say so before anything starts.
    if (QStandardPaths::findExecutable(m_settings.ghostscript).isEmpty()) {
        summary.status = RunSummary::Status::MissingGhostscript;
        trap.step(106, [&] { prompter.message(ghostscriptMissingText(m_settings.ghostscript)); });
        return summary;
    }

    BusyPointer& pointer = m_wiring.pointer;
    trap.step(108, [&] { pointer.setWindowPointer(BusyPointer::Busy); });

    // A private work folder for this run only (mode 0700, unique name), so
    // that other users and other copies of the program cannot meddle with it.
    std::unique_ptr<QTemporaryDir> work;
    trap.step(110, [&] {
        const QString base =
            m_settings.tempFolder.isEmpty() ? QDir::tempPath() : m_settings.tempFolder;
        work = std::make_unique<QTemporaryDir>(base + QStringLiteral("/velmora-XXXXXX"));
        if (!work->isValid()) {
            const QString reason = work->errorString();
            work.reset();
            throw Failure(
                QStringLiteral("Could not create a work folder in %1: %2").arg(base, reason));
        }
    });
    bool ready = work != nullptr;
    if (ready) {
        ready = trap.step(114, [&] {
            copyFolderContents(m_settings.programFolder + QStringLiteral("/ps"), work->path());
        });
    }
    if (ready) {
        const QString script = work->path() + QLatin1Char('/') + JpegScriptName(style);
        trap.step(116, [&] { KillFile(script); });
        QString text;
        trap.step(118,
                  [&] { text = JpegScriptText(std::clamp(m_wiring.quality(), 0, 100), style); });
        ready = trap.step(120, [&] { WriteTextFile(script, text, style); });
    }

    if (ready) {
        StageContext context{work->path(),
                             prompter,
                             m_wiring.events,
                             pointer,
                             m_wiring.output,
                             m_cancellation,
                             m_settings.stageTimeLimit,
                             m_settings.childMemoryLimitBytes,
                             style};
        PdfStages stages(context);
        const int n = m_wiring.sources.count(); // step 122: rows added later wait for the next run
        for (int i = 1; i <= n && !m_cancellation.isCancelled(); ++i) {
            QString source;
            trap.step(124, [&] { source = m_wiring.sources.text(i); });
            trap.step(126,
                      [&] { m_wiring.progress.setValue(100.0 * i / m_wiring.sources.count()); });
            trap.step(128, [&] {
                m_wiring.progress.setText(QStringLiteral("Processing: ") +
                                          GetFileName(source, style));
            });
            trap.step(130, [&] { m_wiring.events.letEventsRun(); });
            trap.step(132, [&] { pointer.setWindowPointer(BusyPointer::Busy); });
            trap.step(134, [&] { summary.files.append(stages.PS_To_PDF(source)); });
        }
    } else {
        summary.status = RunSummary::Status::Stopped;
    }

    if (work) {
        trap.step(138, [&] {
            DeleteFolderTree(work->path());
            work.reset();
        });
    }
    trap.step(142, [&] { pointer.setWindowPointer(BusyPointer::Default); });
    trap.step(144, [&] { m_wiring.progress.setValue(0); });
    trap.step(146, [&] { m_wiring.progress.setText(QStringLiteral("Progress Bar")); });
    if (m_cancellation.isCancelled()) {
        summary.status = RunSummary::Status::Cancelled;
    } else if (summary.status == RunSummary::Status::Converted) {
        trap.step(148, [&] { prompter.message(summary.doneMessage()); });
    }
    return summary;
}

} // namespace velmora
