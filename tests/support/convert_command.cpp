#include "support/convert_command.h"

#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <unistd.h>

namespace velmora::test {

namespace {
constexpr int PollMs = 50;
} // namespace

ConvertCommand::ConvertCommand(const QStringList& arguments, const QString& tempFolder)
    : m_arguments(arguments), m_tempFolder(tempFolder) {}

void ConvertCommand::start() {
    environment.insert(QStringLiteral("TMPDIR"), m_tempFolder);
    process.setProcessEnvironment(environment);
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-convert");
    if (umask.isEmpty()) {
        process.start(program, m_arguments);
    } else {
        // exec keeps the pid, so the watch below still sees the program.
        process.start(QStringLiteral("sh"),
                      QStringList{QStringLiteral("-c"),
                                  QStringLiteral("umask %1; exec \"$0\" \"$@\"").arg(umask),
                                  program} +
                          m_arguments);
    }
    process.waitForStarted();
}

void ConvertCommand::finish(int waitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!(finished = process.waitForFinished(PollMs)) && clock.elapsed() < waitMs) {
        notePeaks();
    }
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    out = QString::fromUtf8(process.readAllStandardOutput());
    err = QString::fromUtf8(process.readAllStandardError());
}

void ConvertCommand::notePeaks() {
    peakTempBytes = std::max(peakTempBytes, FolderBytes(m_tempFolder));
    const QByteArray status = ReadFile(QStringLiteral("/proc/%1/status").arg(process.processId()));
    const qsizetype at = status.indexOf("VmRSS:");
    if (at >= 0) {
        const QByteArray line = status.mid(at + 6, status.indexOf('\n', at) - at - 6);
        peakMemoryKiB = std::max(peakMemoryKiB, line.trimmed().split(' ').value(0).toLongLong());
    }
}

qint64 FolderBytes(const QString& folder) {
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        bytes += it.fileInfo().size();
    }
    return bytes;
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

QStringList LiveDescendants() {
    // /proc/PID/stat: "pid (name) state ppid ..."; the name may hold spaces.
    QHash<qint64, qint64> parentOf;
    QHash<qint64, QString> nameOf;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QByteArray stat = ReadFile(QStringLiteral("/proc/%1/stat").arg(entry));
        const qsizetype close = stat.lastIndexOf(')');
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (close < 0 || fields.size() < 2 || fields[0] == "Z") {
            continue;
        }
        parentOf.insert(entry.toLongLong(), fields[1].toLongLong());
        nameOf.insert(
            entry.toLongLong(),
            QString::fromUtf8(stat.mid(stat.indexOf('(') + 1, close - stat.indexOf('(') - 1)));
    }
    QStringList found;
    for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
        for (qint64 up = it.value(); up > 1; up = parentOf.value(up, 0)) {
            if (up == ::getpid()) {
                found << QStringLiteral("%1 %2").arg(it.key()).arg(nameOf.value(it.key()));
                break;
            }
        }
    }
    return found;
}

bool IsJpeg(const QString& path) {
    return ReadFile(path).startsWith("\xFF\xD8");
}

} // namespace velmora::test
