#include "support/convert_command.h"

#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>

namespace velmora::test {

void ConvertCommand::start() {
#ifdef Q_OS_WIN
    const QString program = QStringLiteral("/velmora-convert.exe");
#else
    const QString program = QStringLiteral("/velmora-convert");
#endif
    // Set here, in the test's own process: Wine replaces a TEMP handed from Linux with its own.
    for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
        environment.insert(QLatin1String(name), QDir::toNativeSeparators(m_tempFolder));
    }
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationDirPath() + program, m_arguments);
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

int ProcessesWorkingIn(const QString& folder) {
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const QString cwd = QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(pid));
        count += cwd == folder || cwd.startsWith(folder + QLatin1Char('/')) ? 1 : 0;
    }
    return count;
}

QSize JpegSize(const QString& path) {
    constexpr unsigned char kMarker = 0xFF, kBaseline = 0xC0, kProgressive = 0xC2;
    constexpr int kShift = 8;
    const QByteArray data = ReadFile(path);
    const auto at = [&data](qsizetype i) { return static_cast<unsigned char>(data.at(i)); };
    for (qsizetype i = 2; data.startsWith("\xFF\xD8") && i + 8 < data.size() && at(i) == kMarker;
         i += 2 + (at(i + 2) << kShift | at(i + 3))) {
        if (at(i + 1) == kBaseline || at(i + 1) == kProgressive) {
            return {at(i + 7) << kShift | at(i + 8), at(i + 5) << kShift | at(i + 6)};
        }
    }
    return {};
}

} // namespace velmora::test
