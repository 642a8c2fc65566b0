#pragma once

#include "convert/output_tail.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <chrono>

namespace velmora {

class Sandbox;

// What one Ghostscript is given: a script to run and a folder of its own.
struct GhostscriptJobSetup {
    QString script; // absolute path; its folder is read-only for the job
    QString folder; // the job's own folder: working folder, the only writable place
    const Sandbox* sandbox = nullptr;
    std::chrono::milliseconds noProgressLimit{0}; // 0: no limit
    qint64 memoryLimitBytes = 0;                  // 0: no limit
};

// One Ghostscript script run, driven by its process's signals: it counts the
// pages Ghostscript reports, stops a run that makes no progress (no new page,
// no growth of its output) for too long, keeps the tail of what it printed,
// and says finished() once, however it ended.
class GhostscriptJob : public QObject {
    Q_OBJECT
public:
    enum class End { Running, Finished, LaunchFailed, NoProgress, Stopped };

    explicit GhostscriptJob(GhostscriptJobSetup setup, QObject* parent = nullptr);
    ~GhostscriptJob() override;

    void start();
    // Stops Ghostscript and everything it started; finished() follows.
    void stop();

    End end() const { return m_end; }
    bool succeeded() const { return m_end == End::Finished && m_exitCode == 0; }
    int exitCode() const { return m_exitCode; }
    // Pages Ghostscript reported: a finished page of the PostScript stage, a
    // page begun in the JPEG stage.
    int pagesReported() const { return m_pages; }
    // Pages reported before the first line that says "Error" (Ghostscript
    // goes on after some errors and still ends with status 0); -1: none.
    int pagesBeforeError() const { return m_pagesBeforeError; }
    // Ghostscript's own words on why it failed; empty when it said none.
    QString errorReport() const;
    QString launchError() const { return m_launchError; }

    // The temp folder inside the job's folder that Ghostscript gets.
    static QString tempFolderOf(const QString& folder);

signals:
    void pageReported();
    void finished();

private:
    void readLine(const QByteArray& line);
    void checkProgress();
    void finish(End end);
    qint64 outputBytes() const;

    GhostscriptJobSetup m_setup;
    QProcess m_process;
    QTimer m_watchdog;
    QElapsedTimer m_sinceProgress;
    OutputTail m_stdout;
    OutputTail m_stderr;
    End m_end = End::Running;
    int m_exitCode = 0;
    int m_pages = 0;
    int m_pagesBeforeError = -1;
    int m_pagesAtLastCheck = 0;
    qint64 m_bytesAtLastCheck = 0;
    QByteArray m_errorMarker; // the last error our prologue reported
    QString m_launchError;
};

} // namespace velmora
