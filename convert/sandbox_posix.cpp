#include "convert/sandbox.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <chrono>

namespace velmora {

namespace {

const QString kShell = QStringLiteral("/bin/sh");
// A probe start takes a few milliseconds; a system that hangs it is broken.
constexpr std::chrono::milliseconds kProbeLimit{10000};

bool underUsr(const QString& path) {
    return path.startsWith(QLatin1String("/usr/"));
}

QStringList sandboxArguments(const QString& ghostscript, const QString& folder,
                             const QStringList& readOnly);

} // namespace

void SandboxProbe::start() {
    m_bwrap = QStandardPaths::findExecutable(QStringLiteral("bwrap"));
    if (m_bwrap.isEmpty()) {
        m_reason = QStringLiteral("the program bwrap is not installed");
        m_done = true; // known at once: nobody waits for done()
        return;
    }
    // The probe runs the shell the way a conversion will, in an empty folder.
    m_process.setProgram(m_bwrap);
    m_process.setArguments(sandboxArguments({}, QStringLiteral("/"), {}) +
                           QStringList{kShell, QStringLiteral("-c"), QStringLiteral("exit 0")});
    m_process.setStandardInputFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::finished, this, [this](int status, QProcess::ExitStatus how) {
        if (how == QProcess::NormalExit && status == 0) {
            conclude({});
            return;
        }
        QString said = QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed();
        said = said.section(QLatin1Char('\n'), 0, 0);
        conclude(said.isEmpty()
                     ? QStringLiteral("bwrap could not start a program")
                     : QStringLiteral("bwrap: ") + said.section(QStringLiteral("bwrap: "), -1));
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            conclude(QStringLiteral("bwrap could not start a program"));
        }
    });
    // A start takes a few milliseconds; a system that hangs it is broken.
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        m_process.blockSignals(true);
        m_process.kill();
        conclude(QStringLiteral("bwrap could not start a program"));
    });
    m_limit.start(kProbeLimit);
    m_process.start();
}

namespace {

QStringList sandboxArguments(const QString& ghostscript, const QString& folder,
                             const QStringList& readOnly) {
    QStringList arguments{
        // The system, read-only; nothing of the user's home or temp folders.
        QStringLiteral("--ro-bind"),
        QStringLiteral("/usr"),
        QStringLiteral("/usr"),
        QStringLiteral("--symlink"),
        QStringLiteral("usr/bin"),
        QStringLiteral("/bin"),
        QStringLiteral("--symlink"),
        QStringLiteral("usr/lib"),
        QStringLiteral("/lib"),
        QStringLiteral("--symlink"),
        QStringLiteral("usr/lib64"),
        QStringLiteral("/lib64"),
        QStringLiteral("--symlink"),
        QStringLiteral("usr/sbin"),
        QStringLiteral("/sbin"),
        QStringLiteral("--ro-bind"),
        QStringLiteral("/etc"),
        QStringLiteral("/etc"),
        QStringLiteral("--proc"),
        QStringLiteral("/proc"),
        QStringLiteral("--dev"),
        QStringLiteral("/dev"),
        // No network, no other processes, no way back to the terminal, and
        // nothing left behind when the program ends.
        QStringLiteral("--unshare-all"),
        QStringLiteral("--new-session"),
        QStringLiteral("--die-with-parent"),
    };
    // A Ghostscript found outside /usr (a local build, a wrapper) is shown
    // at its own path; the scripts find it first on PATH.
    if (!ghostscript.isEmpty() && !underUsr(ghostscript)) {
        arguments << QStringLiteral("--ro-bind") << QFileInfo(ghostscript).canonicalFilePath()
                  << ghostscript;
    }
    for (const QString& path : readOnly) {
        arguments << QStringLiteral("--ro-bind") << path << path;
    }
    if (folder != QLatin1String("/")) {
        arguments << QStringLiteral("--bind") << folder << folder;
    }
    arguments << QStringLiteral("--chdir") << folder;
    return arguments;
}

} // namespace

Command Sandbox::wrap(const QString& script, const QString& folder, const QStringList& readOnly,
                      QProcessEnvironment environment) const {
    if (!isActive()) {
        return {kShell, {script}, environment};
    }
    // Inside, the home is the job's own folder, and PATH leads to the very
    // Ghostscript found outside.
    environment.insert(QStringLiteral("HOME"), folder);
    QString path = QStringLiteral("/usr/bin:/bin");
    if (!m_ghostscript.isEmpty()) {
        path = QFileInfo(m_ghostscript).absolutePath() + QLatin1Char(':') + path;
    }
    environment.insert(QStringLiteral("PATH"), path);
    return {m_bwrap,
            sandboxArguments(m_ghostscript, folder, readOnly) + QStringList{kShell, script},
            environment};
}

} // namespace velmora
