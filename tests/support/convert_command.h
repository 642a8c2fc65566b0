#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velmora::test {

// The built velmora-convert, run as a user would run it: its own TMPDIR
// (a folder of the test), optionally a umask, and a watch on what the run
// costs while it works (the most its temp folder and its memory ever held).
class ConvertCommand {
public:
    ConvertCommand(const QStringList& arguments, const QString& tempFolder);

    void start();
    // Waits for the end; a run still going after waitMs is killed and
    // finished stays false.
    void finish(int waitMs = 60000);
    void run(int waitMs = 60000) {
        start();
        finish(waitMs);
    }
    // stdout split into lines: "Done." and one line per file that failed.
    QStringList outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString umask; // e.g. "002"; empty keeps the test's own
    QProcess process;
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
    qint64 peakTempBytes = 0;
    qint64 peakMemoryKiB = 0;

private:
    void notePeaks();

    QStringList m_arguments;
    QString m_tempFolder;
};

// Bytes held by the files below folder.
qint64 FolderBytes(const QString& folder);
// Entries left in folder, hidden ones too.
QStringList FolderEntries(const QString& folder);
// "pid name" of every live (not zombie) process descending from this one.
QStringList LiveDescendants();
// True when the file starts like a JPEG (FF D8).
bool IsJpeg(const QString& path);

} // namespace velmora::test
