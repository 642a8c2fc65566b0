#pragma once

#include "convert/ghostscript_result.h"
#include "convert/page_ranges.h"

#include <QList>

#include <deque>
#include <optional>

namespace velmora {

// One thing the plan asks its runner to do now.
struct PlanStep {
    enum class Kind {
        StartFile,  // take the row's source in and start its PostScript stage
        StartRange, // start one page range of the row's JPEG stage
        Deliver,    // place the row's pages; its outcome is then final
    };
    Kind kind = Kind::StartFile;
    int row = 0;
    int range = -1;  // StartRange: which of the row's ranges
    PageRange pages; // StartRange: its pages ({} is the whole document)

    bool operator==(const PlanStep&) const = default;
};

// What a row's Ghostscripts came to, as the plan heard it: what delivery
// chooses its pages from.
struct RowResults {
    std::optional<GhostscriptResult> pdf; // the PostScript stage's, once it ended
    QList<PageRange> ranges;              // the JPEG stage's ranges, in page order
    // Each range's, once it ended; none for a range that never started.
    QList<std::optional<GhostscriptResult>> rangeResults;
    bool limitReached = false; // the document took longer than a document may
};

// Which row or range of a run starts next, with no Ghostscript and no event
// loop in sight: the pool asks next() for steps, carries each out, and tells
// the plan when a Ghostscript ends. The rules:
// - at most `jobs` Ghostscripts run at once;
// - earlier rows come first: their next stage starts before a later row's;
// - at most kRowsAheadPerJob × jobs rows are started and not yet delivered,
//   so waiting pages cannot pile up in the temp folder;
// - a document's JPEG stage is split into ranges of at least
//   kMinPagesPerRange pages over the jobs free when its PDF is ready (one
//   range when jobs is 1);
// - rows are delivered strictly in row order, so a later row's pages replace
//   an earlier row's of the same name, as when converting one after another.
class ConversionPlan {
public:
    static constexpr int kRowsAheadPerJob = 3;
    // A range shorter than this is not worth a Ghostscript of its own: each
    // start costs about as much as rendering a page.
    static constexpr int kMinPagesPerRange = 4;

    ConversionPlan(int rows, int jobs);

    // The next step to take now; nullopt until a Ghostscript ends (or, once
    // finished(), for good). A StartFile counts as a running PostScript
    // stage until fileEnded() or pdfEnded() says otherwise.
    std::optional<PlanStep> next();

    // The row's file runs no Ghostscript (its source could not be taken
    // in): it waits for delivery.
    void fileEnded(int row);
    // The row's PostScript stage ended with `result`; its JPEG stage renders
    // about `pages` pages, or nothing when `pages` is 0.
    void pdfEnded(int row, int pages, const GhostscriptResult& result);
    void rangeEnded(int row, int range, const GhostscriptResult& result);
    // The row's document took longer than a document may: its running
    // Ghostscripts are being stopped, and no more start for it. It waits for
    // delivery once they have ended, in any order.
    void limitReached(int row);
    // What the row's Ghostscripts came to; for its Deliver step.
    RowResults results(int row) const;
    // The row's pages are placed: its outcome is final.
    void delivered(int row);

    // While held, no Ghostscript starts: the running ones go on, and rows
    // whose pages are all made are still delivered.
    void hold(bool held) { m_held = held; }

    // Nothing more starts or is delivered. Returns every row that was not
    // delivered, in row order: those in flight (whose Ghostscripts the
    // caller stops) and those never started.
    QList<int> stop();

    int running() const;
    bool finished() const;
    // Rows started and not yet delivered, in row order.
    QList<int> inFlight() const;

private:
    enum class RangeState { Waiting, Running, Ended };
    enum class RowState { MakingPdf, PdfReady, Rendering, Ended, Delivering };
    struct Row {
        int row = 0;
        RowState state = RowState::MakingPdf;
        int pages = 0;
        QList<RangeState> rangeStates;
        RowResults results;
    };

    Row* find(int row);
    const Row* find(int row) const;
    static void endWhenNothingRuns(Row& entry);
    std::optional<PlanStep> nextStageOf(Row& row, int freeJobs);

    int m_rows;
    int m_jobs;
    int m_nextRow = 1;
    bool m_stopped = false;
    bool m_held = false;
    std::deque<Row> m_inFlight;
};

} // namespace velmora
