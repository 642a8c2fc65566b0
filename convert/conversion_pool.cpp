#include "convert/conversion_pool.h"

#include "base/path_helpers.h"
#include "convert/conversion_port.h"
#include "convert/file_conversion.h"
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

} // namespace

ConversionPool::ConversionPool(const RunContext& run, QStringList sources, int jobs,
                               QObject* parent)
    : QObject(parent), m_run(run), m_sources(std::move(sources)),
      m_plan(static_cast<int>(m_sources.size()), jobs) {
    connect(&m_diskWatch, &QTimer::timeout, this, &ConversionPool::watchDisks);
    m_progressPace.setSingleShot(true);
    m_progressPace.setInterval(kProgressPace);
    m_letGo.setSingleShot(true);
    m_letGo.setInterval(0);
    connect(&m_letGo, &QTimer::timeout, this, &ConversionPool::letGoOfOne);
    connect(&m_progressPace, &QTimer::timeout, this, &ConversionPool::showProgress);
}

ConversionPool::~ConversionPool() {
    for (FileConversion* file : std::as_const(m_conversions)) {
        file->stop(GhostscriptEnding::Stopped);
        delete file;
    }
}

FileConversion* ConversionPool::conversion(int row) const {
    return m_conversions.value(row, nullptr);
}

void ConversionPool::start() {
    m_diskWatch.start(kDiskWatchTick);
    advance();
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

void ConversionPool::finishWhenSettled() {
    // Stopped files' Ghostscripts must be gone before the run's folder is.
    if (!m_plan.finished() || m_finished || !m_stopped.empty()) {
        return;
    }
    m_finished = true;
    m_diskWatch.stop();
    m_progressPace.stop();
    emit finished();
}

void ConversionPool::carryOut(const PlanStep& step) {
    switch (step.kind) {
    case PlanStep::Kind::StartFile: {
        auto* file = new FileConversion(m_run, step.row, m_sources.at(step.row - 1));
        m_conversions.insert(step.row, file);
        // What a Ghostscript's end means is decided in the next round of
        // events, when no method of the file is running.
        connect(
            file, &FileConversion::pdfEnded, this,
            [this](int row) {
                if (FileConversion* ended = conversion(row)) {
                    m_plan.pdfEnded(row, ended->pagesToRender());
                    advance();
                }
            },
            Qt::QueuedConnection);
        connect(
            file, &FileConversion::rangeEnded, this,
            [this](int row, int range) {
                m_plan.rangeEnded(row, range);
                advance();
            },
            Qt::QueuedConnection);
        // Pages can be reported thousands of times a second (a document may
        // print the very lines Ghostscript reports pages with): the bar
        // follows them at a human pace.
        connect(file, &FileConversion::progressed, this, [this] {
            if (!m_progressPace.isActive()) {
                m_progressPace.start();
            }
        });
        if (!file->start()) {
            m_plan.fileEnded(step.row);
        }
        break;
    }
    case PlanStep::Kind::StartRange:
        conversion(step.row)->startRange(step.range, step.pages);
        break;
    case PlanStep::Kind::Deliver:
        deliver(step.row);
        break;
    }
}

void ConversionPool::deliver(int row) {
    std::unique_ptr<FileConversion> file(m_conversions.take(row));
    file->deliver();
    m_plan.delivered(row);
    const FileOutcome& delivered = file->outcome();
    undoReplacedRows(row, delivered);
    const bool diskFull = delivered.failure.kind == FileFailure::Kind::DiskNearlyFull;
    end(delivered);
    file.reset();
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
    // that no file is stopped or freed under its own running method.
    if (m_advancing) {
        if (!m_pendingStop) {
            m_pendingStop = ending;
        }
        return;
    }
    const QList<int> rows = m_plan.stop();
    for (const int row : rows) {
        if (FileConversion* file = m_conversions.take(row)) {
            // Every file is told at once; their Ghostscripts end together, in
            // the background.
            file->stop(ending);
            end(file->outcome());
            keepUntilSettled(file);
        } else {
            FileOutcome never;
            never.source = m_sources.at(row - 1);
            never.failure = FileFailure::fromEnding(ending);
            end(never);
        }
    }
    advance();
}

void ConversionPool::keepUntilSettled(FileConversion* file) {
    m_stopped.emplace_back(file);
    // Let go in a later round of events, never inside the file's own signal;
    // its Ghostscripts' ends may still be queued, and find nothing to act on.
    auto settled = [this, file] {
        m_settled.push_back(file);
        if (!m_letGo.isActive()) {
            m_letGo.start();
        }
    };
    if (file->isRunning()) {
        connect(file, &FileConversion::settled, this, settled, Qt::QueuedConnection);
    } else {
        settled();
    }
}

void ConversionPool::letGoOfOne() {
    // One file's folder removed per round of events: many stopped at once
    // would otherwise keep the window from repainting while they all go.
    FileConversion* file = m_settled.front();
    m_settled.pop_front();
    std::erase_if(m_stopped, [file](const auto& kept) { return kept.get() == file; });
    if (!m_settled.empty()) {
        m_letGo.start();
        return;
    }
    finishWhenSettled();
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
        if (const FileConversion* file = conversion(row)) {
            done += file->progress();
        }
    }
    // The text names the earliest row still being converted.
    const QString text = inFlight.isEmpty()
                             ? QString()
                             : QStringLiteral("Processing: ") +
                                   GetFileName(m_sources.at(inFlight.front() - 1), m_run.style);
    m_run.port.progressed(kPercent * done / m_sources.size(), text);
}

} // namespace velmora
