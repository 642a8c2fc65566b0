#include "convert/sandbox.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace velmora {

namespace {

const QString kShell = QStringLiteral("/bin/sh");
// A probe start takes a few milliseconds; a system that hangs it is broken.
constexpr int kProbeTimeoutMs = 10000;

bool underUsr(const QString& path) {
    return path.startsWith(QLatin1String("/usr/"));
}

QStringList sandboxArguments(const QString& ghostscript, const QString& folder,
                             const QStringList& readOnly);

} // namespace

Sandbox Sandbox::detect(const QString& ghostscript) {
    const QString bwrap = QStandardPaths::findExecutable(QStringLiteral("bwrap"));
    if (bwrap.isEmpty()) {
        return none(ghostscript, QStringLiteral("the program bwrap is not installed"));
    }
    Sandbox candidate;
    candidate.m_bwrap = bwrap;
    candidate.m_ghostscript = ghostscript;

    // The probe runs the shell the way a conversion will, in an empty folder.
    QProcess probe;
    probe.setProgram(bwrap);
    probe.setArguments(sandboxArguments(ghostscript, QStringLiteral("/"), {}) +
                       QStringList{kShell, QStringLiteral("-c"), QStringLiteral("exit 0")});
    probe.setStandardInputFile(QProcess::nullDevice());
    probe.start();
    const bool ended = probe.waitForFinished(kProbeTimeoutMs);
    if (ended && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0) {
        return candidate;
    }
    if (!ended) {
        probe.kill();
        probe.waitForFinished();
    }
    QString said = QString::fromLocal8Bit(probe.readAllStandardError()).trimmed();
    said = said.section(QLatin1Char('\n'), 0, 0);
    return none(ghostscript, said.isEmpty() ? QStringLiteral("bwrap could not start a program")
                                            : QStringLiteral("bwrap: ") +
                                                  said.section(QStringLiteral("bwrap: "), -1));
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
