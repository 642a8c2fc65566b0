#include "convert/conversion_run.h"

#include "base/error_numbers.h"
#include "base/failure.h"
#include "base/path_helpers.h"
#include "base/report_locations.h"
#include "convert/conversion_pool.h"
#include "convert/conversion_port.h"
#include "convert/file_conversion.h"
#include "convert/ghostscript_program.h"
#include "convert/sandbox.h"
#include "convert/stage_scripts.h"
#include "convert/work_folder_lock.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <utility>

namespace velmora {

using report_location::StartConverting;

namespace {

constexpr int kMaxQuality = 100;

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

} // namespace

ConversionRun::ConversionRun(ConversionPort& port, ConversionSettings settings, QObject* parent)
    : QObject(parent), m_port(port), m_settings(std::move(settings)), m_diskSpace(SystemDiskSpace) {
    // Asked once, while nobody waits yet, so no Start has to.
    if (m_settings.sandbox) {
        SandboxProbe::shared();
    }
}

ConversionRun::~ConversionRun() {
    m_pool.reset();
}

bool ConversionRun::start(RunRequest request) {
    // A start during a run does nothing.
    if (isConverting()) {
        return false;
    }
    m_stage = Stage::Checking;
    m_halt.reset();
    m_held = false;
    m_request = std::move(request);
    // Callers may name files the way Qt does, with "/" on every system; the
    // pages are named beside them with the system's own separator.
    for (QString& source : m_request.sources) {
        source = QDir::toNativeSeparators(source);
    }
    m_request.outputFolder = QDir::toNativeSeparators(m_request.outputFolder);
    m_summary = RunSummary{};
    QMetaObject::invokeMethod(this, &ConversionRun::begin, Qt::QueuedConnection);
    return true;
}

void ConversionRun::stop() {
    halt(RunSummary::Status::StoppedByUser);
}

void ConversionRun::cancel() {
    halt(RunSummary::Status::Cancelled);
}

void ConversionRun::hold(bool held) {
    if (!isConverting()) {
        return;
    }
    m_held = held;
    if (m_pool) {
        m_pool->hold(held);
    }
}

void ConversionRun::halt(RunSummary::Status why) {
    if (!isConverting()) {
        return;
    }
    // A quiet end (the window closing) wins over the user's stop.
    if (!m_halt || why == RunSummary::Status::Cancelled) {
        m_halt = why;
    }
    // Before the run began, begin() sees the flag and ends it at once; so
    // does convert(), also when it waited for the sandbox's probe.
    if (m_pool) {
        m_pool->stop(GhostscriptEnding::Stopped);
    } else if (m_stage == Stage::WaitingForSandbox) {
        disconnect(std::exchange(m_probeWait, {}));
        QMetaObject::invokeMethod(this, &ConversionRun::convert, Qt::QueuedConnection);
    }
}

LocatedTrap<StartConverting> ConversionRun::startTrap() {
    // The start button's steps: their failures carry its name.
    return LocatedTrap<StartConverting>(
        [this](const Problem& problem) { m_port.problem(problem); });
}

void ConversionRun::begin() {
    if (m_halt) {
        end(*m_halt);
        return;
    }
    auto trap = startTrap();
    if (m_request.sources.isEmpty()) {
        end(RunSummary::Status::NoFiles);
        return;
    }
    bool haveOutput = true;
    trap.step(StartConverting::kCheckOutputFolder, [&] {
        haveOutput =
            m_request.output == OutputChoice::BesideSource || DirExists(m_request.outputFolder);
    });
    if (!haveOutput) {
        end(RunSummary::Status::NoFolder);
        return;
    }
    // Without Ghostscript every file would fail: say so before anything starts.
    m_ghostscript = FindGhostscript(m_settings.ghostscript);
    if (m_ghostscript.isEmpty()) {
        m_summary.ghostscript = m_settings.ghostscript;
        end(RunSummary::Status::MissingGhostscript);
        return;
    }
    emit started();
    if (m_settings.sandbox && !SandboxProbe::shared().isDone()) {
        m_stage = Stage::WaitingForSandbox;
        m_probeWait = connect(&SandboxProbe::shared(), &SandboxProbe::done, this,
                              &ConversionRun::convert, Qt::SingleShotConnection);
        return;
    }
    convert();
}

void ConversionRun::convert() {
    m_probeWait = {};
    if (m_halt) {
        end(*m_halt);
        return;
    }
    m_stage = Stage::Converting;
    const int quality = std::clamp(m_request.quality, 0, kMaxQuality);
    if (!prepareWorkFolder(quality)) {
        end(RunSummary::Status::NotPrepared);
        return;
    }
    m_sandbox = std::make_unique<Sandbox>(
        m_settings.sandbox ? SandboxProbe::shared().sandboxFor(m_ghostscript)
                           : Sandbox::none(m_ghostscript, QStringLiteral("not asked for")));
    m_summary.sandboxed = m_sandbox->isActive();
    m_summary.sandboxMissing = m_sandbox->unavailableReason();
    m_context.reset(new RunContext{WorkLayout(m_work->path()), *m_sandbox, m_port, m_settings,
                                   m_request.output, m_request.outputFolder, quality, m_diskSpace,
                                   nativePathStyle()});
    const int jobs =
        m_settings.jobs > 0 ? m_settings.jobs : std::max(1, QThread::idealThreadCount());
    m_pool = std::make_unique<ConversionPool>(
        *m_context, m_request.sources, jobs,
        [context = m_context.get()](int row, const QString& source, FileEvents& events) {
            return std::make_unique<FileConversion>(*context, row, source, events);
        });
    // Ended in the next round of events, when no method of the pool runs.
    connect(m_pool.get(), &ConversionPool::finished, this, &ConversionRun::poolFinished,
            Qt::QueuedConnection);
    if (m_held) {
        m_pool->hold(true); // asked before the first Ghostscript
    }
    m_pool->start();
}

bool ConversionRun::prepareWorkFolder(int quality) {
    auto trap = startTrap();
    // A private work folder for this run only (mode 0700, unique name), so
    // that other users and other copies of the program cannot meddle with it.
    trap.step(StartConverting::kMakeWorkFolder, [&] {
        const QString base =
            m_settings.tempFolder.isEmpty() ? QDir::tempPath() : m_settings.tempFolder;
        // What killed runs left behind holds copies of the user's documents.
        RemoveAbandonedWorkFolders(base);
        m_work = std::make_unique<QTemporaryDir>(WorkLayout::runFolderTemplate(base));
        if (!m_work->isValid()) {
            const QString reason = m_work->errorString();
            m_work.reset();
            throw Failure(
                QStringLiteral("Could not create a work folder in %1: %2").arg(base, reason));
        }
        // Held while this run lives; a run that cannot take it is left alone
        // by the others all the same.
        m_lock = WorkFolderLock::take(m_work->path());
    });
    if (!m_work) {
        return false;
    }
    const WorkLayout layout(m_work->path());
    const PathStyle style = nativePathStyle();
    return trap.step(StartConverting::kCopyScripts, [&] {
        copyFolderContents(m_settings.programFolder + QStringLiteral("/ps"),
                           layout.scriptsFolder());
    }) && trap.step(StartConverting::kWriteJpegScript, [&] {
        WriteTextFile(layout.script(JpegScriptName(style)), JpegScriptText(quality, style), style);
    });
}

void ConversionRun::poolFinished() {
    m_summary.files = m_pool->outcomes();
    m_pool.reset();
    end(m_halt.value_or(RunSummary::Status::Converted));
}

void ConversionRun::end(RunSummary::Status status) {
    m_pool.reset();
    m_context.reset();
    m_sandbox.reset();
    m_lock.reset();
    m_work.reset(); // removes the work folder with everything in it
    m_summary.status = status;
    m_stage = Stage::Idle;
    emit finished(m_summary);
}

} // namespace velmora
