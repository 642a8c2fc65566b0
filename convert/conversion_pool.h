#pragma once

#include "convert/file_outcome.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <deque>
#include <memory>

namespace velmora {

class PdfStages;
class ProgressDisplay;
class SourceList;
struct StageContext;

// Converts the rows of a run with up to `jobs` Ghostscripts at once, all on
// the UI thread, driven by their processes' signals. Earlier rows come
// first: their next stage starts before a later row's, and pages are
// delivered strictly in row order, so the result is the one of converting
// the rows one after another (a later row's pages replace an earlier row's
// pages of the same name), only sooner.
class ConversionPool : public QObject {
    Q_OBJECT
public:
    ConversionPool(const StageContext& context, SourceList& sources, ProgressDisplay& progress,
                   int jobs, int rows);
    ~ConversionPool() override;

    // Runs until every row is done or the pool is stopped; window events
    // run meanwhile. Returns what became of each row that ended, in row
    // order.
    QList<FileOutcome> run();

    // Stops every Ghostscript and delivers nothing more. With a reason,
    // every row that did not end is recorded with it.
    void stop(const QString& reason);

private:
    void schedule();
    void deliverInOrder();
    void startRows(int& freeJobs);
    int runningJobs() const;
    void showProgress();
    void finishIfDone();

    const StageContext& m_context;
    SourceList& m_sources;
    ProgressDisplay& m_progress;
    int m_jobs;
    int m_rows;
    int m_nextRow = 1;
    std::deque<std::unique_ptr<PdfStages>> m_inFlight;
    std::deque<QElapsedTimer> m_started; // beside m_inFlight
    QList<FileOutcome> m_outcomes;
    bool m_scheduling = false;
    bool m_scheduleAgain = false;
    bool m_stopped = false;
    bool m_finished = false;
    QString m_shownText;
};

} // namespace velmora
