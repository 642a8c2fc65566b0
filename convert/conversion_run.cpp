#include "convert/conversion_run.h"

#include "base/error_numbers.h"
#include "base/error_trap.h"
#include "base/event_pump.h"
#include "base/failure.h"
#include "base/path_helpers.h"
#include "base/prompter.h"
#include "convert/busy_pointer.h"
#include "convert/conversion_pool.h"
#include "convert/output_target.h"
#include "convert/pdf_stages.h"
#include "convert/progress_display.h"
#include "convert/run_cancellation.h"
#include "convert/sandbox.h"
#include "convert/source_list.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

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

QString RunSummary::doneMessage(int maxLines) const {
    QStringList lines;
    for (const FileOutcome& file : files) {
        if (file.failed()) {
            lines.append(file.source + QStringLiteral(": ") + file.failure);
        }
    }
    // A box of hundreds of lines would not fit on the screen.
    if (maxLines > 0 && lines.size() > maxLines) {
        const qsizetype more = lines.size() - maxLines;
        lines.resize(maxLines);
        lines.append(QStringLiteral("and %1 more").arg(more));
    }
    lines.prepend(status == Status::StoppedByUser ? QStringLiteral("Stopped.")
                                                  : QStringLiteral("Done."));
    return lines.join(QLatin1Char('\n'));
}

ConversionRun::ConversionRun(ConversionWiring wiring, ConversionSettings settings)
    : m_wiring(std::move(wiring)), m_settings(std::move(settings)) {}

namespace {

// Our scripts, apart from the folders the Ghostscripts may write in.
const QString kScriptsFolderName = QStringLiteral("scripts");
// Failed files the "Done." box names before "and N more".
constexpr int kDoneBoxLines = 20;

// Copies the program's ps folder (our Ghostscript scripts) into the work folder.
void copyFolderContents(const QString& from, const QString& to) {
    if (!QDir(from).exists()) {
        throw Failure(QStringLiteral("Path not found: ") + QDir::toNativeSeparators(from),
                      error_number::kPathNotFound);
    }
    if (!QDir().mkpath(to)) {
        throw Failure(QStringLiteral("Could not create ") + to);
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
    m_stopRequested = false;
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
            copyFolderContents(m_settings.programFolder + QStringLiteral("/ps"),
                               work->path() + QLatin1Char('/') + kScriptsFolderName);
        });
    }
    if (ready) {
        const QString script = work->path() + QLatin1Char('/') + kScriptsFolderName +
                               QLatin1Char('/') + JpegScriptName(style);
        trap.step(116, [&] { KillFile(script); });
        QString text;
        trap.step(118,
                  [&] { text = JpegScriptText(std::clamp(m_wiring.quality(), 0, 100), style); });
        ready = trap.step(120, [&] { WriteTextFile(script, text, style); });
    }

    if (ready) {
        const QString scripts = work->path() + QLatin1Char('/') + kScriptsFolderName;
        const QString ghostscript = QStandardPaths::findExecutable(m_settings.ghostscript);
        const Sandbox sandbox = m_settings.sandbox
                                    ? Sandbox::detect(ghostscript)
                                    : Sandbox::none(ghostscript, QStringLiteral("not asked for"));
        summary.sandboxed = sandbox.isActive();
        summary.sandboxMissing = sandbox.unavailableReason();
        const StageContext context{work->path(),
                                   scripts,
                                   prompter,
                                   pointer,
                                   m_wiring.output,
                                   sandbox,
                                   std::clamp(m_wiring.quality(), 0, 100),
                                   m_settings.noProgressLimit,
                                   m_settings.childMemoryLimitBytes,
                                   style};
        // Rows added during the run wait for the next one.
        const int rows = m_wiring.sources.count(); // step 122
        const int jobs =
            m_settings.jobs > 0 ? m_settings.jobs : std::max(1, QThread::idealThreadCount());
        ConversionPool pool(context, m_wiring.sources, m_wiring.progress, jobs, rows);
        const auto stopPool = [&] {
            pool.stop(m_stopRequested ? QStringLiteral("stopped") : QString());
        };
        const QMetaObject::Connection stopping =
            QObject::connect(&m_cancellation, &RunCancellation::cancelled, stopPool);
        trap.step(132, [&] { pointer.setWindowPointer(BusyPointer::Busy); });
        if (!m_cancellation.isCancelled()) {
            summary.files = pool.run();
        }
        QObject::disconnect(stopping);
    } else {
        summary.status = RunSummary::Status::Stopped;
    }

    if (work) {
        trap.step(138, [&] {
            DeleteFolderTree(work->path());
            work.reset();
        });
    }
    // The files of a run overlap, so the pointer the stages set stays busy
    // until the run's end.
    trap.step(142, [&] {
        pointer.setApplicationPointer(BusyPointer::Default);
        pointer.setWindowPointer(BusyPointer::Default);
    });
    trap.step(144, [&] { m_wiring.progress.setValue(0); });
    trap.step(146, [&] { m_wiring.progress.setText(QStringLiteral("Progress Bar")); });
    if (m_stopRequested) {
        summary.status = RunSummary::Status::StoppedByUser;
    } else if (m_cancellation.isCancelled()) {
        summary.status = RunSummary::Status::Cancelled;
    }
    if (summary.status == RunSummary::Status::Converted ||
        summary.status == RunSummary::Status::StoppedByUser) {
        // Hundreds of failed files would not fit on the screen: the box
        // names the first ones, its details hold them all.
        trap.step(148, [&] {
            const QString shown = summary.doneMessage(kDoneBoxLines);
            const QString whole = summary.doneMessage();
            prompter.message(shown, {}, Prompter::Buttons::Ok, Prompter::Icon::None,
                             shown == whole ? QString() : whole);
        });
    }
    return summary;
}

void ConversionRun::stop() {
    if (m_converting) {
        m_stopRequested = true;
        m_cancellation.cancel();
    }
}

} // namespace velmora
