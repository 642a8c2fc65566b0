#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>

namespace velmora::test {

// The built velmora-convert, run as a user runs it, its temp folder one of the test's, and
// a watch on the most that folder and the program's memory ever held while it worked.
class ConvertCommand {
public:
    ConvertCommand(QStringList arguments, QString tempFolder)
        : m_arguments(std::move(arguments)), m_tempFolder(std::move(tempFolder)) {}

    void start();
    // Waits however long the run takes: a run that hangs meets the test's time-out.
    void finish();
    void run() {
        start();
        finish();
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess process;
    int exitCode = -1; // -1 when a signal ended it
    QString out;
    QString err;
    qint64 peakTempBytes = 0;
    qint64 peakMemoryKiB = 0;

private:
    QStringList m_arguments;
    QString m_tempFolder;
};

// Entries left in folder, hidden ones too.
QStringList FolderEntries(const QString& folder);
// Processes working in folder or below it, as a run's Ghostscripts do.
int ProcessesWorkingIn(const QString& folder);
// A JPEG's width and height, read from its frame header by hand (the same on
// every system, whatever image plugins it has); empty for a file that is no JPEG.
QSize JpegSize(const QString& path);

} // namespace velmora::test
