#pragma once

#include "convert/conversion_plan.h"
#include "convert/file_outcome.h"
#include "convert/ghostscript_result.h"
#include "convert/page_owners.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace velmora {

class FileConversion;
struct RunContext;

// Carries out a ConversionPlan with real files and Ghostscripts: every step
// the plan gives is done at once, and every Ghostscript that ends goes back
// to the plan, in the next round of events, never inside the signal of the
// process that ended. All on the UI thread; several Ghostscripts are several
// processes. It also watches the disks the run writes to, and stops the run
// when one gets nearly full.
class ConversionPool : public QObject {
    Q_OBJECT
public:
    ConversionPool(const RunContext& run, QStringList sources, int jobs, QObject* parent = nullptr);
    ~ConversionPool() override;

    void start();
    // While held, no Ghostscript starts; the running ones go on and finished
    // rows are still delivered.
    void hold(bool held);
    // Stops every Ghostscript and delivers nothing more; every row not yet
    // delivered ends with the reason `ending` gives. finished() follows.
    void stop(GhostscriptEnding ending);

    // What became of each row that ended, in row order.
    const QList<FileOutcome>& outcomes() const { return m_outcomes; }

signals:
    void finished();

private:
    void advance();
    void carryOut(const PlanStep& step);
    void deliver(int row);
    void end(FileOutcome outcome);
    void keepUntilSettled(FileConversion* file);
    // The earlier rows whose pages the row just delivered replaced: named,
    // and what is left of their pages removed.
    void undoReplacedRows(int row, const FileOutcome& delivered);
    void letGoOfOne();
    void finishWhenSettled();
    void watchDisks();
    void showProgress();
    FileConversion* conversion(int row) const;

    const RunContext& m_run;
    QStringList m_sources;
    ConversionPlan m_plan;
    QMap<int, FileConversion*> m_conversions;               // rows in flight, owned
    std::vector<std::unique_ptr<FileConversion>> m_stopped; // until their Ghostscripts are gone
    std::deque<FileConversion*> m_settled;                  // stopped, and gone: to let go of
    QTimer m_letGo;
    QList<FileOutcome> m_outcomes;
    PageOwners m_pageOwners;
    QTimer m_diskWatch;
    QTimer m_progressPace; // pending progress from pages made
    bool m_advancing = false;
    std::optional<GhostscriptEnding> m_pendingStop; // asked for during a step
    bool m_finished = false;
};

} // namespace velmora
