#include "convert/file_conversion.h"

#include "base/error_trap.h"
#include "base/failure.h"
#include "base/folder_listing.h"
#include "base/path_helpers.h"
#include "base/report_locations.h"
#include "convert/conversion_port.h"
#include "convert/ghostscript_job.h"
#include "convert/ghostscript_report.h"
#include "convert/page_names.h"
#include "convert/page_selection.h"
#include "convert/run_context.h"
#include "convert/safe_files.h"
#include "convert/stage_scripts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace velmora {

namespace {

// The PDF stage and the JPEG stage count as halves of a file's progress.
constexpr double kStageShare = 0.5;
constexpr double kMsPerSecond = 1000.0;

QString createFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        throw Failure(QStringLiteral("Could not create ") + folder);
    }
    return folder;
}

} // namespace

FileConversion::FileConversion(const RunContext& run, int row, const QString& source,
                               QObject* parent)
    : QObject(parent), m_run(run), m_row(row) {
    m_outcome.source = source;
    m_timeLimit.setSingleShot(true);
    connect(&m_timeLimit, &QTimer::timeout, this, [this] {
        // A file whose pages are all made and wait for the rows above it
        // has nothing left to stop.
        if (!isRunning()) {
            return;
        }
        // Its Ghostscripts end as stopped by the limit, and with them the
        // file: ranges not begun yet will start none.
        stopJobs(GhostscriptEnding::TimeLimit);
    });
}

FileConversion::~FileConversion() {
    m_pdfJob.reset();
    m_ranges.clear();
    DeleteFolderTree(m_run.layout.fileFolder(m_row));
}

GhostscriptJob* FileConversion::launch(const QString& script, const QString& folder,
                                       qint64 writeLimit) {
    auto* job = new GhostscriptJob({m_run.layout.script(script), folder, &m_run.sandbox,
                                    m_run.settings.noProgressLimit,
                                    m_run.settings.childMemoryLimitBytes, writeLimit});
    connect(job, &GhostscriptJob::pageReported, this, &FileConversion::progressed);
    return job;
}

bool FileConversion::start() {
    m_clock.start();
    ErrorTrap trap = m_run.trap(report_location::kTakeInSource);
    QFile source;
    m_outcome.failure = OpenSource(m_outcome.source, source);
    if (m_outcome.failed()) {
        return false;
    }
    // Taken from the open file before it is copied: a source written to
    // meanwhile no longer matches what the report says of it, so a resumed
    // run converts it again. Qt reads it as a later look at the path does,
    // on either system.
    const QDateTime modified = source.fileTime(QFileDevice::FileModificationTime);
    if (modified.isValid()) {
        m_outcome.size = source.size();
        m_outcome.mtime = modified.toSecsSinceEpoch();
    }
    trap.step(110, [&] { m_pdfFolder = createFolder(m_run.layout.pdfFolder(m_row)); });
    const QString copy = WorkLayout::sourceCopy(m_pdfFolder);
    QString why = QStringLiteral("could not be copied");
    const bool copied = !m_pdfFolder.isEmpty() && trap.step(112, [&] {
        try {
            CopyInto(source, copy);
        } catch (const Failure& failure) {
            why = failure.description(); // the real reason, for the line after "Done."
            throw;
        }
    });
    if (!copied) {
        m_outcome.failure = FileFailure::of(FileFailure::Kind::NotCopied, why);
        return false;
    }
    // Read from our own copy: the source may change or vanish meanwhile.
    m_outcome.expectedPages = AnnouncedPageCount(copy);
    m_beginsLikeADocument = BeginsLikeADocument(copy);
    if (m_run.settings.fileTimeLimit.count() > 0) {
        m_timeLimit.start(m_run.settings.fileTimeLimit);
    }
    m_pdfJob.reset(
        launch(PsToPdfScriptName(m_run.style), m_pdfFolder, m_run.settings.writeLimitBytes));
    connect(m_pdfJob.get(), &GhostscriptJob::done, this, [this](const GhostscriptResult& result) {
        m_pdfResult = result;
        if (result.ending == GhostscriptEnding::TimeLimit) {
            m_pdfResult.limit = m_run.settings.fileTimeLimit.count();
        }
        m_pdfEnded = true;
        emit pdfEnded(m_row);
        noteSettled();
    });
    m_pdfJob->start();
    return true;
}

int FileConversion::pagesToRender() const {
    if (!m_pdfEnded || m_stoppedAs != GhostscriptEnding::Exited ||
        !PdfWorthRendering(m_pdfResult) || !QFileInfo(WorkLayout::pdf(m_pdfFolder)).isFile()) {
        return 0;
    }
    // What the document reported is only an estimate for sharing out the
    // pages; a range past the PDF's end renders nothing.
    return std::max(m_pdfResult.pagesReported, 1);
}

bool FileConversion::prepareRange(Range& range) {
    ErrorTrap trap = m_run.trap(report_location::kMakePages);
    const QString script = JpegScriptName(m_run.style, range.pages);
    return trap.step(
               104,
               [&] {
                   range.folder = createFolder(m_run.layout.rangeFolder(m_row, range.pages.first));
                   const QString path = m_run.layout.script(script);
                   if (!QFileInfo::exists(path)) {
                       WriteTextFile(path, JpegScriptText(m_run.quality, m_run.style, range.pages),
                                     m_run.style);
                   }
               }) &&
           // Every range gets its own copy of the PDF.
           trap.step(108, [&] {
               LinkOrCopyOwnOutput(WorkLayout::pdf(m_pdfFolder), WorkLayout::pdf(range.folder));
           });
}

void FileConversion::startRange(int index, PageRange pages) {
    while (m_ranges.size() <= index) {
        m_ranges.append(std::make_shared<Range>());
    }
    const std::shared_ptr<Range> range = m_ranges[index];
    range->pages = pages;
    if (m_stoppedAs != GhostscriptEnding::Exited || !prepareRange(*range)) {
        range->result.ending =
            m_stoppedAs != GhostscriptEnding::Exited ? m_stoppedAs : GhostscriptEnding::Stopped;
        range->ended = true;
        emit rangeEnded(m_row, index);
        return;
    }
    range->job.reset(launch(JpegScriptName(m_run.style, pages), range->folder, 0));
    connect(range->job.get(), &GhostscriptJob::done, this,
            [this, range, index](const GhostscriptResult& result) {
                range->result = result;
                if (result.ending == GhostscriptEnding::TimeLimit) {
                    range->result.limit = m_run.settings.fileTimeLimit.count();
                }
                range->ended = true;
                emit progressed();
                emit rangeEnded(m_row, index);
                noteSettled();
            });
    range->job->start();
}

void FileConversion::stopJobs(GhostscriptEnding ending) {
    if (m_stoppedAs == GhostscriptEnding::Exited) {
        m_stoppedAs = ending;
    }
    m_timeLimit.stop();
    if (m_pdfJob) {
        m_pdfJob->stop(ending);
    }
    for (const auto& range : m_ranges) {
        if (range->job) {
            range->job->stop(ending);
        }
    }
}

void FileConversion::noteSettled() {
    if (!isRunning()) {
        emit settled();
    }
}

bool FileConversion::isRunning() const {
    if (m_pdfJob && m_pdfJob->isRunning()) {
        return true;
    }
    return std::any_of(m_ranges.cbegin(), m_ranges.cend(),
                       [](const auto& range) { return range->job && range->job->isRunning(); });
}

FileFailure FileConversion::stoppedFailure() const {
    FileFailure failure = FileFailure::fromEnding(m_stoppedAs);
    if (m_stoppedAs == GhostscriptEnding::TimeLimit) {
        failure.kind = FileFailure::Kind::TimeLimit;
        failure.number = m_run.settings.fileTimeLimit.count();
    }
    return failure;
}

void FileConversion::stop(GhostscriptEnding ending) {
    stopJobs(ending);
    if (!m_outcome.failed()) {
        m_outcome.failure = FileFailure::fromEnding(ending);
    }
    m_outcome.seconds = m_clock.isValid() ? m_clock.elapsed() / kMsPerSecond : 0;
}

void FileConversion::deliver() {
    m_timeLimit.stop();
    m_outcome.seconds = m_clock.isValid() ? m_clock.elapsed() / kMsPerSecond : 0;
    if (m_outcome.failed()) {
        return; // ended at intake
    }
    ErrorTrap trap = m_run.trap(report_location::kMakePages);
    QList<RenderedRange> rendered;
    QStringList scripts;
    QList<QStringList> names;
    for (const auto& range : m_ranges) {
        QStringList found;
        if (!range->folder.isEmpty()) {
            trap.step(126, [&] {
                found =
                    SortPageImages(GetFilesInFolder(range->folder, WorkLayout::pageImagePattern()));
            });
        }
        names.append(found);
        rendered.append({range->result, static_cast<int>(found.size())});
        scripts.append(JpegScriptName(m_run.style, range->pages));
    }
    const PageSelection selection =
        SelectPages(m_pdfResult, PsToPdfScriptName(m_run.style), rendered, scripts);
    m_outcome.failure =
        m_beginsLikeADocument ? selection.failure : selection.failure.ofNonDocument();
    if (m_stoppedAs != GhostscriptEnding::Exited && !m_outcome.failed()) {
        m_outcome.failure = stoppedFailure();
    }
    QStringList images;
    for (qsizetype i = 0; i < m_ranges.size(); ++i) {
        for (int page = 0; page < selection.imagesPerRange.value(i); ++page) {
            images.append(m_ranges[i]->folder + QLatin1Char('/') + names[i].at(page));
        }
    }
    placePages(images);
    trap.step(150, [&] { DeleteFolderTree(m_run.layout.fileFolder(m_row)); });
}

void FileConversion::placePages(const QStringList& images) {
    ErrorTrap trap = m_run.trap(report_location::kMakePages);
    const PathStyle style = m_run.style;
    const QString& source = m_outcome.source;
    const QString prefix = SourcePagePrefix(source, style);
    m_outcome.pages = static_cast<int>(images.size());
    if (m_run.output == OutputChoice::None) {
        return;
    }
    const bool intoFolder = m_run.output == OutputChoice::Folder;
    const QString folder = PagesFolder(source, m_run.output, m_run.outputFolder, style);
    for (int page = 1; page <= images.size(); ++page) {
        if (!m_run.hasRoom(folder)) {
            m_outcome.failure = FileFailure::of(FileFailure::Kind::DiskNearlyFull);
            return;
        }
        const QString target = DeliveredPageName(folder, prefix, page, style);
        if (trap.step(intoFolder ? 138 : 142, [&] { DeliverFile(images.at(page - 1), target); })) {
            ++m_outcome.delivered;
            m_outcome.deliveredPaths.append(target);
        }
    }
    if (!m_outcome.failed() && m_outcome.delivered < m_outcome.pages) {
        m_outcome.failure.kind = FileFailure::Kind::PagesNotSaved;
        m_outcome.failure.number = m_outcome.pages - m_outcome.delivered;
        m_outcome.failure.outOf = m_outcome.pages;
    }
}

double FileConversion::progress() const {
    if (!m_pdfEnded) {
        // Pages finished so far against the pages the document announces,
        // or against one more than finished when it announces none.
        const int made = m_pdfJob ? m_pdfJob->pagesReported() : 0;
        const int expected = std::max(m_outcome.expectedPages, made + 1);
        return kStageShare * made / expected;
    }
    if (m_ranges.isEmpty()) {
        return pagesToRender() > 0 ? kStageShare : 1;
    }
    int rendered = 0;
    bool allEnded = true;
    for (const auto& range : m_ranges) {
        rendered += range->job ? range->job->pagesReported() : 0;
        allEnded = allEnded && range->ended;
    }
    if (allEnded) {
        return 1;
    }
    return kStageShare +
           (1 - kStageShare) * std::min(1.0, double(rendered) / std::max(pagesToRender(), 1));
}

} // namespace velmora
