#include "convert/conversion_pool.h"

#include "base/path_helpers.h"
#include "convert/conversion_port.h"
#include "convert/run_context.h"

#include <QFile>
#include <QSet>

#include <utility>

namespace velmora {

namespace {

constexpr double kPercent = 100.0;
// How often the free space of the disks a run writes to is looked at.
constexpr std::chrono::milliseconds kDiskWatchTick{500};
// The most often pages made move the progress bar.
constexpr std::chrono::milliseconds kProgressPace{50};

void singleShot(QTimer& timer, std::chrono::milliseconds interval) {
    timer.setSingleShot(true);
    timer.setInterval(interval);
}

} // namespace

ConversionPool::ConversionPool(const RunContext& run, QStringList sources, int jobs,
                               FileRunnerFactory makeRunner, QObject* parent)
    : QObject(parent), m_run(run), m_sources(std::move(sources)),
      m_plan(static_cast<int>(m_sources.size()), jobs), m_makeRunner(std::move(makeRunner)) {
    singleShot(m_advanceSoon, {});
    singleShot(m_letGo, {});
    singleShot(m_progressPace, kProgressPace);
    connect(&m_advanceSoon, &QTimer::timeout, this, &ConversionPool::advance);
    connect(&m_letGo, &QTimer::timeout, this, &ConversionPool::letGoOfOne);
    connect(&m_progressPace, &QTimer::timeout, this, &ConversionPool::showProgress);
    connect(&m_diskWatch, &QTimer::timeout, this, &ConversionPool::watchDisks);
}

ConversionPool::~ConversionPool() {
    for (auto& [row, runner] : m_inFlight) {
        runner->stop(GhostscriptEnding::Stopped);
    }
}

void ConversionPool::start() {
    m_diskWatch.start(kDiskWatchTick);
    advance();
}

void ConversionPool::pdfEnded(int row, int pages, const GhostscriptResult& result) {
    m_plan.pdfEnded(row, pages, result);
    advanceSoon();
}

void ConversionPool::rangeEnded(int row, int range, const GhostscriptResult& result) {
    m_plan.rangeEnded(row, range, result);
    advanceSoon();
}

void ConversionPool::limitReached(int row) {
    m_plan.limitReached(row);
    advanceSoon();
}

void ConversionPool::settled(int row) {
    if (m_stopped.count(row) != 0) {
        m_settled.push_back(row);
        m_letGo.start();
    }
}

void ConversionPool::progressed() {
    // Pages can be reported thousands of times a second (a document may
    // print the very lines Ghostscript reports pages with): the bar follows
    // them at a human pace.
    if (!m_progressPace.isActive()) {
        m_progressPace.start();
    }
}

void ConversionPool::advanceSoon() {
    // Never inside the runner's own call, which a delivery could end.
    m_advanceSoon.start();
}

void ConversionPool::advance() {
    // A step may end a file at once (an unreadable source), which asks for
    // more steps: those are taken by the loop under way.
    if (m_advancing || m_finished) {
        return;
    }
    m_advancing = true;
    while (!m_pendingStop) {
        const std::optional<PlanStep> step = m_plan.next();
        if (!step) {
            break;
        }
        carryOut(*step);
    }
    m_advancing = false;
    if (const std::optional<GhostscriptEnding> ending = std::exchange(m_pendingStop, {})) {
        stop(*ending); // advances again
        return;
    }
    showProgress();
    finishWhenSettled();
}

void ConversionPool::carryOut(const PlanStep& step) {
    switch (step.kind) {
    case PlanStep::Kind::StartFile: {
        FileRunner& runner =
            *(m_inFlight[step.row] = m_makeRunner(step.row, m_sources.at(step.row - 1), *this));
        if (!runner.start()) {
            m_plan.fileEnded(step.row);
        }
        break;
    }
    case PlanStep::Kind::StartRange:
        m_inFlight.at(step.row)->startRange(step.range, step.pages);
        break;
    case PlanStep::Kind::Deliver:
        deliver(step.row);
        break;
    }
}

void ConversionPool::deliver(int row) {
    std::unique_ptr<FileRunner> runner = std::move(m_inFlight.at(row));
    m_inFlight.erase(row);
    runner->deliver(m_plan.results(row));
    m_plan.delivered(row);
    const FileOutcome& delivered = runner->outcome();
    undoReplacedRows(row, delivered);
    const bool diskFull = delivered.failure.kind == FileFailure::Kind::DiskNearlyFull;
    end(delivered);
    runner.reset();
    if (diskFull) {
        stop(GhostscriptEnding::DiskNearlyFull);
    }
}

void ConversionPool::undoReplacedRows(int row, const FileOutcome& delivered) {
    const QList<PageOwners::Replaced> replaced =
        m_pageOwners.place(row, delivered.source, delivered.deliveredPaths);
    for (const PageOwners::Replaced& earlier : replaced) {
        // Only pages this run placed go, so that each name in the folder is
        // the page of one document.
        for (const QString& page : earlier.leftover) {
            QFile::remove(page);
        }
        FileOutcome& undone = m_outcomes[earlier.row - 1];
        undone.failure = FileFailure::replacedBy(
            delivered.source, FolderOf(delivered.deliveredPaths.front(), m_run.style));
        undone.deliveredPaths.clear();
        undone.delivered = 0;
        m_run.port.fileEnded(undone);
    }
}

void ConversionPool::hold(bool held) {
    m_plan.hold(held);
    if (!held) {
        advance();
    }
}

void ConversionPool::end(FileOutcome outcome) {
    m_outcomes.append(outcome);
    m_run.port.fileEnded(m_outcomes.back());
}

void ConversionPool::stop(GhostscriptEnding ending) {
    if (m_finished || m_plan.finished()) {
        return;
    }
    // Asked from inside a step (a host that stops the run when told of a
    // problem, a delivery that finds the disk full): the step ends first, so
    // that no file is stopped or let go of under its own running method.
    if (m_advancing) {
        if (!m_pendingStop) {
            m_pendingStop = ending;
        }
        return;
    }
    const QList<int> rows = m_plan.stop();
    for (const int row : rows) {
        const auto found = m_inFlight.find(row);
        if (found == m_inFlight.end()) {
            FileOutcome never;
            never.source = m_sources.at(row - 1);
            never.failure = FileFailure::fromEnding(ending);
            end(never);
            continue;
        }
        // Every file is told at once; their Ghostscripts end together, in
        // the background, and each is let go of once they have.
        FileRunner& runner = *found->second;
        runner.stop(ending);
        end(runner.outcome());
        const bool running = runner.isRunning();
        m_stopped[row] = std::move(found->second);
        m_inFlight.erase(found);
        if (!running) {
            settled(row);
        }
    }
    advance();
}

void ConversionPool::letGoOfOne() {
    // One file's folder removed per round of events: many stopped at once
    // would otherwise keep the window from repainting while they all go.
    const int row = m_settled.front();
    m_settled.pop_front();
    m_stopped.erase(row);
    if (!m_settled.empty()) {
        m_letGo.start();
        return;
    }
    finishWhenSettled();
}

void ConversionPool::finishWhenSettled() {
    // Stopped files' Ghostscripts must be gone before the run's folder is.
    if (!m_plan.finished() || m_finished || !m_stopped.empty()) {
        return;
    }
    m_finished = true;
    m_diskWatch.stop();
    m_progressPace.stop();
    m_advanceSoon.stop();
    emit finished();
}

void ConversionPool::watchDisks() {
    QSet<QString> folders{m_run.layout.runFolder()};
    if (m_run.output == OutputChoice::Folder) {
        folders.insert(m_run.outputFolder);
    } else if (m_run.output == OutputChoice::BesideSource) {
        for (const int row : m_plan.inFlight()) {
            folders.insert(GetFolderPath(m_sources.at(row - 1), m_run.style));
        }
    }
    for (const QString& folder : folders) {
        if (!m_run.hasRoom(folder)) {
            stop(GhostscriptEnding::DiskNearlyFull);
            return;
        }
    }
}

void ConversionPool::showProgress() {
    if (m_finished || m_sources.isEmpty()) {
        return;
    }
    double done = m_outcomes.size();
    const QList<int> inFlight = m_plan.inFlight();
    for (const int row : inFlight) {
        if (const auto found = m_inFlight.find(row); found != m_inFlight.end()) {
            done += found->second->progress();
        }
    }
    m_run.port.progressed({kPercent * done / m_sources.size(),
                           inFlight.isEmpty() ? QString() : m_sources.at(inFlight.front() - 1)});
}

} // namespace velmora
