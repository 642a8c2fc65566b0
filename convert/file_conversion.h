#pragma once

#include "convert/file_outcome.h"
#include "convert/ghostscript_result.h"
#include "convert/page_ranges.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace velmora {

class GhostscriptJob;
struct RunContext;

// One source file's way through the two Ghostscript stages:
//
//   intake ─► PDF stage ─► page ranges ─► ready ─► delivered
//      └─────────┴─────────────┴──────────► ended without pages
//
// start() takes the source in (a copy the program makes) and starts the
// PostScript stage; once it ends, the pool starts the page ranges the plan
// chose; deliver() then places the pages that are whole pages of the
// document and makes the outcome final. Each Ghostscript runs in an empty
// folder of its own. Nothing here talks to the user: failed steps go to the
// run's port as problems, and the outcome says what became of the file.
class FileConversion : public QObject {
    Q_OBJECT
public:
    FileConversion(const RunContext& run, int row, const QString& source,
                   QObject* parent = nullptr);
    ~FileConversion() override;

    // Takes the source in and starts its PostScript stage; false when the
    // file ended at once (unreadable, empty, not copied).
    bool start();
    // Once the PostScript stage ended: about how many pages to render, or 0
    // when its PDF holds no page of the document.
    int pagesToRender() const;
    void startRange(int index, PageRange pages);
    // Places the whole pages of the document in page order; the outcome is
    // then final and the file's folder is gone.
    void deliver();
    // Ends every Ghostscript of the file, without waiting; nothing is
    // delivered. settled() follows once none is left.
    void stop(GhostscriptEnding ending);
    // Whether a Ghostscript of the file still runs, or is being stopped.
    bool isRunning() const;

    int row() const { return m_row; }
    // How far the file has come, from 0 to 1.
    double progress() const;
    const FileOutcome& outcome() const { return m_outcome; }

signals:
    void pdfEnded(int row);
    void rangeEnded(int row, int range);
    // No Ghostscript of the file runs any more.
    void settled();
    void progressed();

private:
    struct Range {
        PageRange pages;
        QString folder;
        std::unique_ptr<GhostscriptJob> job;
        GhostscriptResult result;
        bool ended = false;
    };

    GhostscriptJob* launch(const QString& script, const QString& folder, qint64 writeLimit);
    bool prepareRange(Range& range);
    void placePages(const QStringList& images);
    void stopJobs(GhostscriptEnding ending);
    void noteSettled();
    FileFailure stoppedFailure() const;

    const RunContext& m_run;
    int m_row;
    FileOutcome m_outcome;
    QElapsedTimer m_clock;
    QTimer m_timeLimit;
    QString m_pdfFolder;
    std::unique_ptr<GhostscriptJob> m_pdfJob;
    GhostscriptResult m_pdfResult;
    bool m_beginsLikeADocument = true; // a failure then names what the file is not
    bool m_pdfEnded = false;
    QList<std::shared_ptr<Range>> m_ranges;
    GhostscriptEnding m_stoppedAs = GhostscriptEnding::Exited; // Exited: not stopped
};

} // namespace velmora
