#pragma once

#include "convert/ghostscript_result.h"
#include "convert/output_tail.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>

namespace velmora {

class ProcessTreeStop;
class Sandbox;

// What one Ghostscript is given: a script to run and a folder of its own.
struct GhostscriptJobSetup {
    QString script; // absolute path; its folder is read-only for the job
    QString folder; // the job's own folder: working folder, the only writable place
    const Sandbox* sandbox = nullptr;
    std::chrono::milliseconds noProgressLimit{0}; // 0: no limit
    qint64 memoryLimitBytes = 0;                  // 0: no limit
    qint64 writeLimitBytes = 0; // all it may write in its folder, temp folder included; 0: no limit
    // The longest its document may take, both stages together: what a stop
    // for the time limit reports as the limit.
    std::chrono::milliseconds documentTimeLimit{0};
};

// One Ghostscript script run, driven by its process's signals. It ends
// exactly once, with done(result), however it ended: by itself, failing to
// start, stopped, or stopped by one of its limits. Progress is what it
// writes: a run whose files in its folder do not grow for the no-progress
// limit is stopped. What it prints is never progress, since the document
// can print anything; the page lines only feed the progress bar.
class GhostscriptJob : public QObject {
    Q_OBJECT
public:
    explicit GhostscriptJob(GhostscriptJobSetup setup, QObject* parent = nullptr);
    ~GhostscriptJob() override;

    void start();
    // Stops Ghostscript and everything it started, without waiting; done()
    // follows, with `ending` as how it ended, once nothing of it is left.
    void stop(GhostscriptEnding ending = GhostscriptEnding::Stopped);

    // From start() until done(): while it is stopped too.
    bool isRunning() const { return m_running; }
    // Pages reported so far: finished pages in the PostScript stage, pages
    // begun in the JPEG stage.
    int pagesReported() const { return m_result.pagesReported; }

signals:
    void pageReported();
    void done(const velmora::GhostscriptResult& result);

private:
    void readLine(const QByteArray& line);
    void watch();
    void finish(GhostscriptEnding ending);
    void conclude(GhostscriptEnding ending);
    qint64 writtenBytes() const;

    GhostscriptJobSetup m_setup;
    QProcess m_process;
    std::unique_ptr<ProcessTreeStop> m_stopping; // once stopped, until nothing is left
    QTimer m_watchdog;
    QElapsedTimer m_sinceProgress;
    OutputTail m_stdout;
    OutputTail m_stderr;
    GhostscriptResult m_result;
    bool m_running = false;
    bool m_ended = false;
    qint64 m_mostWritten = 0;
    qint64 m_bytesGiven = 0;  // in its folder before it started
    QByteArray m_errorMarker; // the last error our prologue reported
};

} // namespace velmora
