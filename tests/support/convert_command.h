#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velmora::test {

// The built velmora-convert, run as a user runs it, with TMPDIR set to a
// folder of the test, and a watch on the most its temp folder and its
// memory ever held while it worked.
class ConvertCommand {
public:
    ConvertCommand(QStringList arguments, QString tempFolder);

    void start();
    // Waits for the end however long it takes: a run that hangs is caught
    // by the test's time-out, not by a guess of how long a run may take.
    void finish();
    void run() {
        start();
        finish();
    }
    // stdout split into lines: "Done." and one line per file that failed.
    QStringList outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

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
int ProcessesIn(const QString& folder);
// True when the file starts like a JPEG (FF D8).
bool IsJpeg(const QString& path);

} // namespace velmora::test
