#include "convert/ghostscript_job.h"

#include "convert/ghostscript_report.h"
#include "convert/process_group.h"
#include "convert/sandbox.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace velmora {

namespace {

// How often progress is looked at; a limit shorter than four ticks is
// looked at more often.
constexpr std::chrono::milliseconds kProgressTick{1000};
constexpr int kTicksPerLimit = 4;

// What the PostScript stage's prologue (ps/pstopdf.sh) prints on stderr for
// each finished page and for the error that ended the document.
const QByteArray kPageMarker = QByteArrayLiteral("%%[velmora page]%%");
const QByteArray kErrorMarkerStart = QByteArrayLiteral("%%[velmora error: ");
const QByteArray kErrorMarkerEnd = QByteArrayLiteral("]%%");

} // namespace

GhostscriptJob::GhostscriptJob(GhostscriptJobSetup setup, QObject* parent)
    : QObject(parent), m_setup(std::move(setup)),
      m_stdout(kOutputTailBytes, [this](const QByteArray& line) { readLine(line); }),
      m_stderr(kOutputTailBytes, [this](const QByteArray& line) { readLine(line); }) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this,
            [this] { m_stdout.append(m_process.readAllStandardOutput()); });
    connect(&m_process, &QProcess::readyReadStandardError, this,
            [this] { m_stderr.append(m_process.readAllStandardError()); });
    connect(&m_process, &QProcess::finished, this, [this] { finish(End::Finished); });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_launchError = m_process.errorString();
            finish(End::LaunchFailed);
        }
    });
    connect(&m_watchdog, &QTimer::timeout, this, &GhostscriptJob::checkProgress);
}

GhostscriptJob::~GhostscriptJob() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.blockSignals(true);
        StopProcessGroup(m_process, m_setup.folder);
    }
}

QString GhostscriptJob::tempFolderOf(const QString& folder) {
    return folder + QStringLiteral("/tmp");
}

void GhostscriptJob::start() {
    // Ghostscript's safe mode still lets a document write under its temp
    // folder: an empty one of its own, inside the job's folder.
    const QString temp = tempFolderOf(m_setup.folder);
    QDir().mkpath(temp);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
        environment.insert(QString::fromLatin1(name), temp);
    }
    const QString scripts = QFileInfo(m_setup.script).absolutePath();
    const Command command =
        m_setup.sandbox != nullptr
            ? m_setup.sandbox->wrap(m_setup.script, m_setup.folder, {scripts}, environment)
            : Command{QStringLiteral("/bin/sh"), {m_setup.script}, environment};
    m_process.setProgram(command.program);
    m_process.setArguments(command.arguments);
    m_process.setProcessEnvironment(command.environment);
    m_process.setWorkingDirectory(m_setup.folder);
    m_process.setStandardInputFile(QProcess::nullDevice());
    RunInOwnProcessGroup(m_process, m_setup.memoryLimitBytes);

    m_sinceProgress.start();
    if (m_setup.noProgressLimit.count() > 0) {
        m_watchdog.start(std::min(kProgressTick, m_setup.noProgressLimit / kTicksPerLimit));
    }
    m_process.start();
}

void GhostscriptJob::stop() {
    finish(End::Stopped);
}

void GhostscriptJob::readLine(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed == kPageMarker || (trimmed.startsWith("Page ") && trimmed.size() > 5 &&
                                   std::all_of(trimmed.begin() + 5, trimmed.end(),
                                               [](char c) { return c >= '0' && c <= '9'; }))) {
        ++m_pages;
        emit pageReported();
    } else if (trimmed.startsWith(kErrorMarkerStart) && trimmed.endsWith(kErrorMarkerEnd)) {
        m_errorMarker =
            trimmed.mid(kErrorMarkerStart.size(),
                        trimmed.size() - kErrorMarkerStart.size() - kErrorMarkerEnd.size());
    } else if (m_pagesBeforeError < 0 &&
               (trimmed.startsWith("Error:") || trimmed.startsWith("**** Error"))) {
        m_pagesBeforeError = m_pages;
    }
}

qint64 GhostscriptJob::outputBytes() const {
    qint64 total = 0;
    const QFileInfoList files = QDir(m_setup.folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        total += file.size();
    }
    return total;
}

void GhostscriptJob::checkProgress() {
    const qint64 bytes = outputBytes();
    if (m_pages != m_pagesAtLastCheck || bytes > m_bytesAtLastCheck) {
        m_sinceProgress.restart();
    }
    m_pagesAtLastCheck = m_pages;
    m_bytesAtLastCheck = std::max(m_bytesAtLastCheck, bytes);
    if (m_sinceProgress.elapsed() >= m_setup.noProgressLimit.count()) {
        finish(End::NoProgress);
    }
}

void GhostscriptJob::finish(End end) {
    if (m_end != End::Running) {
        return;
    }
    m_watchdog.stop();
    // Stopping reaps the process, which would report finished() once more.
    m_process.blockSignals(true);
    if (end != End::Finished) {
        StopProcessGroup(m_process, m_setup.folder);
    }
    m_stdout.append(m_process.readAllStandardOutput());
    m_stderr.append(m_process.readAllStandardError());
    m_stdout.finish();
    m_stderr.finish();
    m_end = end;
    if (end == End::Finished) {
        // A child killed by a signal reports it the way shells do.
        m_exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode()
                                                                    : 128 + m_process.exitCode();
    }
    emit finished();
}

QString GhostscriptJob::errorReport() const {
    if (!m_errorMarker.isEmpty()) {
        const qsizetype in = m_errorMarker.indexOf(" in ");
        const QByteArray name = in < 0 ? m_errorMarker : m_errorMarker.left(in);
        return ReasonText("Error: /" + name + (in < 0 ? QByteArray() : m_errorMarker.mid(in)));
    }
    return GhostscriptErrorLine(m_stdout.text() + '\n' + m_stderr.text());
}

} // namespace velmora
