#pragma once

#include "convert/conversion_plan.h"
#include "convert/file_outcome.h"
#include "convert/file_runner.h"
#include "convert/ghostscript_result.h"
#include "convert/page_owners.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <map>
#include <memory>
#include <optional>

namespace velmora {

struct RunContext;

// Carries out a ConversionPlan through one FileRunner per row (Ghostscripts
// and files; fakes in tests): every step the plan gives is taken at once,
// and what a runner tells of its Ghostscripts goes to the plan at once,
// while the next steps are taken in a later round of events, never inside
// a runner's own call. All on the UI thread; several Ghostscripts are
// several processes. It also watches the disks the run writes to, and stops
// the run when one gets nearly full.
class ConversionPool : public QObject, private FileEvents {
    Q_OBJECT
public:
    ConversionPool(const RunContext& run, QStringList sources, int jobs,
                   FileRunnerFactory makeRunner, QObject* parent = nullptr);
    ~ConversionPool() override;

    void start();
    // While held, no Ghostscript starts; the running ones go on and finished
    // rows are still delivered.
    void hold(bool held);
    // Stops every Ghostscript and delivers nothing more; every row not yet
    // delivered ends with the reason `ending` gives. finished() follows once
    // their Ghostscripts are gone.
    void stop(GhostscriptEnding ending);

    // What became of each row that ended, in row order.
    const QList<FileOutcome>& outcomes() const { return m_outcomes; }

signals:
    void finished();

private:
    // FileEvents
    void pdfEnded(int row, int pages, const GhostscriptResult& result) override;
    void rangeEnded(int row, int range, const GhostscriptResult& result) override;
    void limitReached(int row) override;
    void settled(int row) override;
    void progressed() override;

    void advanceSoon();
    void advance();
    void carryOut(const PlanStep& step);
    void deliver(int row);
    // The earlier rows whose pages the row just delivered replaced: named,
    // and what is left of their pages removed.
    void undoReplacedRows(int row, const FileOutcome& delivered);
    void end(FileOutcome outcome);
    void letGoOfOne();
    void finishWhenSettled();
    void watchDisks();
    void showProgress();

    const RunContext& m_run;
    QStringList m_sources;
    ConversionPlan m_plan;
    FileRunnerFactory m_makeRunner;
    std::map<int, std::unique_ptr<FileRunner>> m_inFlight;
    std::map<int, std::unique_ptr<FileRunner>> m_stopped; // until their Ghostscripts are gone
    std::deque<int> m_settled;                            // stopped, and gone: to let go of
    QList<FileOutcome> m_outcomes;
    PageOwners m_pageOwners;
    QTimer m_advanceSoon;
    QTimer m_letGo;
    QTimer m_diskWatch;
    QTimer m_progressPace; // pending progress from pages made
    bool m_advancing = false;
    std::optional<GhostscriptEnding> m_pendingStop; // asked for during a step
    bool m_finished = false;
};

} // namespace velmora
