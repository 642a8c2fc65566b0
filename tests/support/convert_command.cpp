#include "support/convert_command.h"

#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>

namespace velmora::test {

ConvertCommand::ConvertCommand(QStringList arguments, QString tempFolder)
    : m_arguments(std::move(arguments)), m_tempFolder(std::move(tempFolder)) {}

void ConvertCommand::start() {
    environment.insert(QStringLiteral("TMPDIR"), m_tempFolder);
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-convert"),
                  m_arguments);
    process.waitForStarted();
}

void ConvertCommand::finish() {
    constexpr int kPollMs = 50;
    while (!process.waitForFinished(kPollMs) && process.state() != QProcess::NotRunning) {
        qint64 bytes = 0;
        for (QDirIterator it(m_tempFolder, QDir::Files | QDir::Hidden,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            bytes += it.nextFileInfo().size();
        }
        peakTempBytes = std::max(peakTempBytes, bytes);
        // "VmRSS:    1234 kB" in /proc/PID/status.
        const QByteArray status =
            ReadFile(QStringLiteral("/proc/%1/status").arg(process.processId()));
        const QByteArray rss = status.mid(status.indexOf("VmRSS:")).split('\n').value(0);
        peakMemoryKiB = std::max(peakMemoryKiB, rss.simplified().split(' ').value(1).toLongLong());
    }
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    out = QString::fromUtf8(process.readAllStandardOutput());
    err = QString::fromUtf8(process.readAllStandardError());
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

int ProcessesIn(const QString& folder) {
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QString cwd = QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(pid));
        count += cwd.startsWith(folder + QLatin1Char('/')) ? 1 : 0;
    }
    return count;
}

bool IsJpeg(const QString& path) {
    return ReadFile(path).startsWith("\xFF\xD8");
}

} // namespace velmora::test
