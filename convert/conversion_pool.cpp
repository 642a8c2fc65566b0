#include "convert/conversion_pool.h"

#include "base/path_helpers.h"
#include "convert/pdf_stages.h"
#include "convert/progress_display.h"
#include "convert/source_list.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>

namespace velmora {

namespace {

// Rows started but not yet delivered, per job: enough to keep every job
// busy while an early long row renders, few enough that waiting pages do
// not pile up in the temp folder.
constexpr int kRowsAheadPerJob = 3;
constexpr double kPercent = 100.0;

} // namespace

ConversionPool::ConversionPool(const StageContext& context, SourceList& sources,
                               ProgressDisplay& progress, int jobs, int rows)
    : m_context(context), m_sources(sources), m_progress(progress), m_jobs(std::max(jobs, 1)),
      m_rows(rows) {}

ConversionPool::~ConversionPool() {
    stop(QString());
}

int ConversionPool::runningJobs() const {
    int count = 0;
    for (const auto& stages : m_inFlight) {
        count += stages->running();
    }
    return count;
}

QList<FileOutcome> ConversionPool::run() {
    schedule();
    // Events are run by hand rather than by a nested QEventLoop, whose
    // exec() returns at once while the application quits.
    while (!m_finished) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return m_outcomes;
}

void ConversionPool::stop(const QString& reason) {
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    for (std::size_t i = 0; i < m_inFlight.size(); ++i) {
        m_inFlight[i]->stop(reason);
        if (!reason.isEmpty()) {
            FileOutcome outcome = m_inFlight[i]->outcome();
            outcome.seconds = m_started[i].elapsed() / 1000.0;
            m_outcomes.append(outcome);
        }
    }
    m_inFlight.clear();
    m_started.clear();
    if (!reason.isEmpty()) {
        for (; m_nextRow <= m_rows; ++m_nextRow) {
            FileOutcome outcome;
            outcome.source = m_sources.text(m_nextRow);
            outcome.failure = reason;
            m_outcomes.append(outcome);
        }
    }
    m_finished = true;
}

void ConversionPool::schedule() {
    // An error box shown by a step runs events, and with them further
    // calls: they are folded into the one under way.
    if (m_scheduling) {
        m_scheduleAgain = true;
        return;
    }
    m_scheduling = true;
    do {
        m_scheduleAgain = false;
        if (m_stopped) {
            break;
        }
        deliverInOrder();
        int freeJobs = m_jobs - runningJobs();
        for (const auto& stages : m_inFlight) {
            while (freeJobs > 0 && stages->canStart()) {
                stages->startNext(freeJobs, m_jobs);
                freeJobs = m_jobs - runningJobs();
            }
        }
        startRows(freeJobs);
        deliverInOrder();
        showProgress();
        finishIfDone();
    } while (m_scheduleAgain);
    m_scheduling = false;
}

void ConversionPool::startRows(int& freeJobs) {
    const auto limit = static_cast<std::size_t>(kRowsAheadPerJob * m_jobs);
    while (!m_stopped && freeJobs > 0 && m_nextRow <= m_rows && m_inFlight.size() < limit) {
        const int row = m_nextRow++;
        auto stages = std::make_unique<PdfStages>(m_context, row, m_sources.text(row));
        // A stage that ends goes on in the next round of events, never
        // inside the signal of the Ghostscript that ended.
        connect(stages.get(), &PdfStages::jobEnded, this, &ConversionPool::schedule,
                Qt::QueuedConnection);
        connect(stages.get(), &PdfStages::progressed, this, &ConversionPool::showProgress);
        QElapsedTimer clock;
        clock.start();
        m_inFlight.push_back(std::move(stages));
        m_started.push_back(clock);
        PdfStages& added = *m_inFlight.back();
        added.PS_To_PDF();
        if (added.canStart()) {
            added.startNext(freeJobs, m_jobs);
        }
        freeJobs = m_jobs - runningJobs();
    }
}

void ConversionPool::deliverInOrder() {
    // Every row that ends makes room for another.
    while (!m_stopped && !m_inFlight.empty()) {
        PdfStages& first = *m_inFlight.front();
        if (first.phase() == PdfStages::Phase::Rendered) {
            first.PDF_To_JPG();
        }
        if (first.phase() != PdfStages::Phase::Done) {
            return;
        }
        FileOutcome outcome = first.outcome();
        outcome.seconds = m_started.front().elapsed() / 1000.0;
        m_outcomes.append(outcome);
        m_inFlight.pop_front();
        m_started.pop_front();
        m_scheduleAgain = true;
    }
}

void ConversionPool::showProgress() {
    if (m_stopped || m_rows == 0) {
        return;
    }
    double done = m_outcomes.size();
    for (const auto& stages : m_inFlight) {
        done += stages->progress();
    }
    m_progress.setValue(kPercent * done / m_rows);
    // The text names the earliest row still being converted.
    if (!m_inFlight.empty()) {
        const QString text = QStringLiteral("Processing: ") +
                             GetFileName(m_inFlight.front()->outcome().source, m_context.style);
        if (text != m_shownText) {
            m_shownText = text;
            m_progress.setText(text);
        }
    }
}

void ConversionPool::finishIfDone() {
    if (m_inFlight.empty() && m_nextRow > m_rows) {
        m_finished = true;
    }
}

} // namespace velmora
