#include "convert/conversion_plan.h"

#include <algorithm>
#include <utility>

namespace velmora {

ConversionPlan::ConversionPlan(int rows, int jobs)
    : m_rows(std::max(rows, 0)), m_jobs(std::max(jobs, 1)) {}

ConversionPlan::Row* ConversionPlan::find(int row) {
    return const_cast<Row*>(std::as_const(*this).find(row));
}

const ConversionPlan::Row* ConversionPlan::find(int row) const {
    for (const Row& entry : m_inFlight) {
        if (entry.row == row) {
            return &entry;
        }
    }
    return nullptr;
}

int ConversionPlan::running() const {
    int count = 0;
    for (const Row& entry : m_inFlight) {
        if (entry.state == RowState::MakingPdf) {
            ++count;
        }
        count += static_cast<int>(
            std::count(entry.rangeStates.cbegin(), entry.rangeStates.cend(), RangeState::Running));
    }
    return count;
}

bool ConversionPlan::finished() const {
    return m_stopped || (m_inFlight.empty() && m_nextRow > m_rows);
}

QList<int> ConversionPlan::inFlight() const {
    QList<int> rows;
    for (const Row& entry : m_inFlight) {
        rows.append(entry.row);
    }
    return rows;
}

std::optional<PlanStep> ConversionPlan::next() {
    if (m_stopped) {
        return std::nullopt;
    }
    if (!m_inFlight.empty() && m_inFlight.front().state == RowState::Ended) {
        m_inFlight.front().state = RowState::Delivering;
        return PlanStep{PlanStep::Kind::Deliver, m_inFlight.front().row, -1, {}};
    }
    if (m_held) {
        return std::nullopt;
    }
    const int freeJobs = m_jobs - running();
    if (freeJobs <= 0) {
        return std::nullopt;
    }
    for (Row& entry : m_inFlight) {
        if (auto step = nextStageOf(entry, freeJobs)) {
            return step;
        }
    }
    const auto limit = static_cast<std::size_t>(kRowsAheadPerJob * m_jobs);
    if (m_nextRow <= m_rows && m_inFlight.size() < limit) {
        Row started;
        started.row = m_nextRow++;
        m_inFlight.push_back(started);
        return PlanStep{PlanStep::Kind::StartFile, started.row, -1, {}};
    }
    return std::nullopt;
}

std::optional<PlanStep> ConversionPlan::nextStageOf(Row& entry, int freeJobs) {
    if (entry.state == RowState::PdfReady) {
        // A long document's pages are shared out over the Ghostscripts that
        // could run now; with one job at a time that is one range.
        QList<PageRange>& ranges = entry.results.ranges;
        ranges = SplitPages(entry.pages, freeJobs, kMinPagesPerRange);
        if (ranges.size() == 1) {
            ranges.front() = PageRange{};
        }
        entry.rangeStates = QList<RangeState>(ranges.size(), RangeState::Waiting);
        entry.results.rangeResults.resize(ranges.size());
        entry.state = RowState::Rendering;
    }
    if (entry.state != RowState::Rendering) {
        return std::nullopt;
    }
    const qsizetype waiting = entry.rangeStates.indexOf(RangeState::Waiting);
    if (waiting < 0) {
        return std::nullopt;
    }
    entry.rangeStates[waiting] = RangeState::Running;
    return PlanStep{PlanStep::Kind::StartRange, entry.row, static_cast<int>(waiting),
                    entry.results.ranges.at(waiting)};
}

void ConversionPlan::fileEnded(int row) {
    if (Row* entry = find(row); entry != nullptr && entry->state == RowState::MakingPdf) {
        entry->state = RowState::Ended;
    }
}

void ConversionPlan::pdfEnded(int row, int pages, const GhostscriptResult& result) {
    Row* entry = find(row);
    if (entry == nullptr || entry->state != RowState::MakingPdf) {
        return;
    }
    entry->results.pdf = result;
    entry->pages = pages;
    entry->state = pages > 0 && !entry->results.limitReached ? RowState::PdfReady : RowState::Ended;
}

void ConversionPlan::rangeEnded(int row, int range, const GhostscriptResult& result) {
    Row* entry = find(row);
    if (entry == nullptr || entry->state != RowState::Rendering || range < 0 ||
        range >= entry->rangeStates.size() || entry->rangeStates[range] != RangeState::Running) {
        return;
    }
    entry->rangeStates[range] = RangeState::Ended;
    entry->results.rangeResults[range] = result;
    endWhenNothingRuns(*entry);
}

void ConversionPlan::limitReached(int row) {
    Row* entry = find(row);
    if (entry == nullptr || entry->state == RowState::Ended ||
        entry->state == RowState::Delivering) {
        return;
    }
    entry->results.limitReached = true;
    if (entry->state == RowState::PdfReady) {
        entry->state = RowState::Ended;
    } else if (entry->state == RowState::Rendering) {
        // Ranges not begun never will; the row ends with its running ones.
        std::replace(entry->rangeStates.begin(), entry->rangeStates.end(), RangeState::Waiting,
                     RangeState::Ended);
        endWhenNothingRuns(*entry);
    }
}

void ConversionPlan::endWhenNothingRuns(Row& entry) {
    if (!entry.rangeStates.contains(RangeState::Waiting) &&
        !entry.rangeStates.contains(RangeState::Running)) {
        entry.state = RowState::Ended;
    }
}

RowResults ConversionPlan::results(int row) const {
    const Row* entry = find(row);
    return entry != nullptr ? entry->results : RowResults{};
}

void ConversionPlan::delivered(int row) {
    if (!m_inFlight.empty() && m_inFlight.front().row == row &&
        m_inFlight.front().state == RowState::Delivering) {
        m_inFlight.pop_front();
    }
}

QList<int> ConversionPlan::stop() {
    QList<int> undelivered = inFlight();
    for (; m_nextRow <= m_rows; ++m_nextRow) {
        undelivered.append(m_nextRow);
    }
    m_inFlight.clear();
    m_stopped = true;
    return undelivered;
}

} // namespace velmora
