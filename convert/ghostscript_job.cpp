#include "convert/ghostscript_job.h"

#include "convert/ghostscript_report.h"
#include "convert/process_group.h"
#include "convert/sandbox.h"
#include "convert/work_layout.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace velmora {

namespace {

// How often progress is looked at, and writes where they are limited (a
// document writes fast); a no-progress limit shorter than four ticks is
// looked at more often.
constexpr std::chrono::milliseconds kProgressTick{1000};
constexpr std::chrono::milliseconds kWriteTick{250};
constexpr int kTicksPerLimit = 4;

// What the PostScript stage's prologue (ps/pstopdf.sh) prints on stderr for
// each finished page and for the error that ended the document.
const QByteArray kPageMarker = QByteArrayLiteral("%%[velmora page]%%");
const QByteArray kErrorMarkerStart = QByteArrayLiteral("%%[velmora error: ");
const QByteArray kErrorMarkerEnd = QByteArrayLiteral("]%%");

bool isPageLine(const QByteArray& line) {
    return line == kPageMarker ||
           (line.startsWith("Page ") && line.size() > 5 &&
            std::all_of(line.begin() + 5, line.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

// Bytes of the files directly in the folder: what Ghostscript makes there.
qint64 madeBytes(const QString& folder) {
    qint64 total = 0;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        total += file.size();
    }
    return total;
}

// Bytes of every file below the folder, never through a link.
qint64 bytesBelow(const QString& folder) {
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (!it.fileInfo().isSymLink()) {
            total += it.fileInfo().size();
        }
    }
    return total;
}

} // namespace

GhostscriptJob::GhostscriptJob(GhostscriptJobSetup setup, QObject* parent)
    : QObject(parent), m_setup(std::move(setup)),
      m_stdout(kOutputTailBytes, [this](const QByteArray& line) { readLine(line); }),
      m_stderr(kOutputTailBytes, [this](const QByteArray& line) { readLine(line); }) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this,
            [this] { m_stdout.append(m_process.readAllStandardOutput()); });
    connect(&m_process, &QProcess::readyReadStandardError, this,
            [this] { m_stderr.append(m_process.readAllStandardError()); });
    connect(&m_process, &QProcess::finished, this, [this] { finish(GhostscriptEnding::Exited); });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_result.launchError = m_process.errorString();
            finish(GhostscriptEnding::FailedToStart);
        }
    });
    connect(&m_watchdog, &QTimer::timeout, this, &GhostscriptJob::watch);
}

GhostscriptJob::~GhostscriptJob() {
    m_stopping.reset();
    if (m_running) {
        m_process.blockSignals(true);
        StopProcessGroup(m_process, m_setup.folder);
    }
}

void GhostscriptJob::start() {
    // Ghostscript's safe mode still lets a document write under its temp
    // folder: an empty one of its own, inside the job's folder.
    const QString temp = WorkLayout::tempFolder(m_setup.folder);
    QDir().mkpath(temp);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
        environment.insert(QString::fromLatin1(name), temp);
    }
    const QString scripts = QFileInfo(m_setup.script).absolutePath();
    const Sandbox unconfined = Sandbox::none({}, {});
    const Sandbox& sandbox = m_setup.sandbox != nullptr ? *m_setup.sandbox : unconfined;
    const Command command = sandbox.wrap(m_setup.script, m_setup.folder, {scripts}, environment);
    m_process.setProgram(command.program);
    m_process.setArguments(command.arguments);
    m_process.setProcessEnvironment(command.environment);
    m_process.setWorkingDirectory(m_setup.folder);
    m_process.setStandardInputFile(QProcess::nullDevice());
    // No single file can outgrow the write limit, however fast it is written.
    RunInOwnProcessGroup(m_process, {m_setup.memoryLimitBytes, m_setup.writeLimitBytes});

    // What we put there (the document) is not what it wrote.
    m_bytesGiven = m_setup.writeLimitBytes > 0 ? bytesBelow(m_setup.folder) : 0;
    m_running = true;
    m_sinceProgress.start();
    if (m_setup.noProgressLimit.count() > 0 || m_setup.writeLimitBytes > 0) {
        auto tick = m_setup.writeLimitBytes > 0 ? kWriteTick : kProgressTick;
        if (m_setup.noProgressLimit.count() > 0) {
            tick = std::min(tick, m_setup.noProgressLimit / kTicksPerLimit);
        }
        m_watchdog.start(tick);
    }
    m_process.start();
}

void GhostscriptJob::stop(GhostscriptEnding ending) {
    if (!m_running) {
        return; // never started, or over
    }
    finish(ending);
}

void GhostscriptJob::readLine(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (isPageLine(trimmed)) {
        ++m_result.pagesReported;
        emit pageReported();
    } else if (trimmed.startsWith(kErrorMarkerStart) && trimmed.endsWith(kErrorMarkerEnd)) {
        m_errorMarker =
            trimmed.mid(kErrorMarkerStart.size(),
                        trimmed.size() - kErrorMarkerStart.size() - kErrorMarkerEnd.size());
    } else if (m_result.pagesBeforeError < 0 && IsGhostscriptErrorLine(trimmed)) {
        m_result.pagesBeforeError = m_result.pagesReported;
    }
}

qint64 GhostscriptJob::writtenBytes() const {
    return bytesBelow(m_setup.folder) - m_bytesGiven;
}

void GhostscriptJob::watch() {
    if (m_setup.writeLimitBytes > 0 && writtenBytes() > m_setup.writeLimitBytes) {
        m_result.limitBytes = m_setup.writeLimitBytes;
        finish(GhostscriptEnding::OverWriteLimit);
        return;
    }
    if (m_setup.noProgressLimit.count() <= 0) {
        return;
    }
    const qint64 bytes = madeBytes(m_setup.folder);
    if (bytes > m_mostWritten) {
        m_mostWritten = bytes;
        m_sinceProgress.restart();
    }
    if (m_sinceProgress.elapsed() >= m_setup.noProgressLimit.count()) {
        m_result.limitTime = m_setup.noProgressLimit;
        finish(GhostscriptEnding::NoProgress);
    }
}

void GhostscriptJob::finish(GhostscriptEnding ending) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_watchdog.stop();
    // Stopping reaps the process, which would report its end once more.
    m_process.blockSignals(true);
    // Nothing is left of one that ended by itself or never started.
    if (ending == GhostscriptEnding::Exited || ending == GhostscriptEnding::FailedToStart) {
        conclude(ending);
        return;
    }
    // Ended in the background: done() once nothing of it is left, so that
    // no Ghostscript still works in a folder that is read or removed next.
    m_stopping = std::make_unique<ProcessTreeStop>(m_process, m_setup.folder);
    connect(m_stopping.get(), &ProcessTreeStop::ended, this, [this, ending] { conclude(ending); });
}

void GhostscriptJob::conclude(GhostscriptEnding ending) {
    m_running = false;
    m_stdout.append(m_process.readAllStandardOutput());
    m_stderr.append(m_process.readAllStandardError());
    m_stdout.finish();
    m_stderr.finish();
    if (ending == GhostscriptEnding::Exited) {
        // A child killed by a signal reports it the way shells do.
        m_result.exitStatus = m_process.exitStatus() == QProcess::NormalExit
                                  ? m_process.exitCode()
                                  : kSignalStatusBase + m_process.exitCode();
        // A file past the limit ends Ghostscript (SIGXFSZ), or fails its
        // write when the signal is ignored.
        if (m_setup.writeLimitBytes > 0 && m_result.exitStatus != 0 &&
            (EndedByFileSizeLimit(m_result.exitStatus) ||
             writtenBytes() >= m_setup.writeLimitBytes)) {
            ending = GhostscriptEnding::OverWriteLimit;
            m_result.limitBytes = m_setup.writeLimitBytes;
        }
    }
    m_result.ending = ending;
    if (ending == GhostscriptEnding::TimeLimit) {
        m_result.limitTime = m_setup.documentTimeLimit;
    }
    if (!m_errorMarker.isEmpty()) {
        const qsizetype in = m_errorMarker.indexOf(" in ");
        const QByteArray name = in < 0 ? m_errorMarker : m_errorMarker.left(in);
        m_result.errorLine =
            ReasonText("Error: /" + name + (in < 0 ? QByteArray() : m_errorMarker.mid(in)));
    } else {
        m_result.errorLine = GhostscriptErrorLine(m_stdout.text() + '\n' + m_stderr.text());
    }
    emit done(m_result);
}

} // namespace velmora
