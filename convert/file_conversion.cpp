#include "convert/file_conversion.h"

#include "base/failure.h"
#include "base/folder_listing.h"
#include "base/located_trap.h"
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

using report_location::MakePages;
using report_location::TakeInSource;

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
                               FileEvents& events, QObject* parent)
    : QObject(parent), m_run(run), m_row(row), m_events(events) {
    m_outcome.source = source;
    m_timeLimit.setSingleShot(true);
    connect(&m_timeLimit, &QTimer::timeout, this, [this] {
        // A file whose pages are all made and wait for the rows above it
        // has nothing left to stop.
        if (!isRunning()) {
            return;
        }
        // Its Ghostscripts end as stopped by the limit, in their own time;
        // the plan starts nothing more for it meanwhile.
        stopJobs(GhostscriptEnding::TimeLimit);
        m_events.limitReached(m_row);
    });
}

FileConversion::~FileConversion() {
    m_pdfJob.reset();
    m_rangeJobs.clear();
    DeleteFolderTree(m_run.layout.fileFolder(m_row));
}

std::unique_ptr<GhostscriptJob> FileConversion::launch(const QString& script, const QString& folder,
                                                       qint64 writeLimit) {
    auto job = std::make_unique<GhostscriptJob>(GhostscriptJobSetup{
        m_run.layout.script(script), folder, &m_run.sandbox, m_run.settings.noProgressLimit,
        m_run.settings.childMemoryLimitBytes, writeLimit, m_run.settings.fileTimeLimit});
    connect(job.get(), &GhostscriptJob::pageReported, this, [this] { m_events.progressed(); });
    return job;
}

bool FileConversion::start() {
    m_clock.start();
    auto trap = m_run.trap<TakeInSource>();
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
    trap.step(TakeInSource::kMakePdfFolder,
              [&] { m_pdfFolder = createFolder(m_run.layout.pdfFolder(m_row)); });
    const QString copy = WorkLayout::sourceCopy(m_pdfFolder);
    QString why = QStringLiteral("could not be copied");
    const bool copied = !m_pdfFolder.isEmpty() && trap.step(TakeInSource::kCopySource, [&] {
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
    m_pdfJob = launch(PsToPdfScriptName(m_run.style), m_pdfFolder, m_run.settings.writeLimitBytes);
    connect(m_pdfJob.get(), &GhostscriptJob::done, this, [this](const GhostscriptResult& result) {
        // What the document reported is only an estimate for sharing out
        // the pages; a range past the PDF's end renders nothing.
        const bool pdfMade = QFileInfo(WorkLayout::pdf(m_pdfFolder)).isFile();
        const int pages =
            PdfWorthRendering(result) && pdfMade ? std::max(result.pagesReported, 1) : 0;
        m_events.pdfEnded(m_row, pages, result);
        jobEnded();
    });
    m_pdfJob->start();
    return true;
}

bool FileConversion::prepareRange(const QString& folder, PageRange pages) {
    auto trap = m_run.trap<MakePages>();
    const QString script = JpegScriptName(m_run.style, pages);
    return trap.step(MakePages::kPrepareRange,
                     [&] {
                         createFolder(folder);
                         const QString path = m_run.layout.script(script);
                         if (!QFileInfo::exists(path)) {
                             WriteTextFile(path, JpegScriptText(m_run.quality, m_run.style, pages),
                                           m_run.style);
                         }
                     }) &&
           // Every range gets its own copy of the PDF.
           trap.step(MakePages::kHandOverPdf, [&] {
               LinkOrCopyOwnOutput(WorkLayout::pdf(m_pdfFolder), WorkLayout::pdf(folder));
           });
}

void FileConversion::startRange(int index, PageRange pages) {
    if (m_rangeJobs.size() <= static_cast<std::size_t>(index)) {
        m_rangeJobs.resize(index + 1);
    }
    const QString folder = m_run.layout.rangeFolder(m_row, pages.first);
    if (m_stoppedAs || !prepareRange(folder, pages)) {
        GhostscriptResult none;
        none.ending = m_stoppedAs.value_or(GhostscriptEnding::Stopped);
        m_events.rangeEnded(m_row, index, none);
        return;
    }
    std::unique_ptr<GhostscriptJob>& job = m_rangeJobs[index];
    job = launch(JpegScriptName(m_run.style, pages), folder, 0);
    connect(job.get(), &GhostscriptJob::done, this, [this, index](const GhostscriptResult& result) {
        m_events.progressed();
        m_events.rangeEnded(m_row, index, result);
        jobEnded();
    });
    job->start();
}

void FileConversion::stopJobs(GhostscriptEnding ending) {
    if (!m_stoppedAs) {
        m_stoppedAs = ending;
    }
    m_timeLimit.stop();
    if (m_pdfJob) {
        m_pdfJob->stop(ending);
    }
    for (const auto& job : m_rangeJobs) {
        if (job) {
            job->stop(ending);
        }
    }
}

void FileConversion::jobEnded() {
    if (m_stoppedAs && !isRunning()) {
        m_events.settled(m_row);
    }
}

bool FileConversion::isRunning() const {
    if (m_pdfJob && m_pdfJob->isRunning()) {
        return true;
    }
    return std::any_of(m_rangeJobs.cbegin(), m_rangeJobs.cend(),
                       [](const auto& job) { return job && job->isRunning(); });
}

void FileConversion::stop(GhostscriptEnding ending) {
    stopJobs(ending);
    if (!m_outcome.failed()) {
        m_outcome.failure = FileFailure::fromEnding(ending);
    }
    m_outcome.seconds = m_clock.isValid() ? m_clock.elapsed() / kMsPerSecond : 0;
}

void FileConversion::deliver(const RowResults& results) {
    m_timeLimit.stop();
    m_outcome.seconds = m_clock.isValid() ? m_clock.elapsed() / kMsPerSecond : 0;
    if (m_outcome.failed()) {
        return; // ended at intake
    }
    auto trap = m_run.trap<MakePages>();
    // The ranges that ran, in page order; those the time limit kept from
    // starting follow them and made nothing.
    QList<RenderedRange> rendered;
    QStringList scripts;
    QStringList folders;
    QList<QStringList> names;
    for (qsizetype i = 0; i < results.ranges.size() && results.rangeResults.at(i); ++i) {
        const QString folder = m_run.layout.rangeFolder(m_row, results.ranges.at(i).first);
        QStringList found;
        if (QFileInfo(folder).isDir()) {
            trap.step(MakePages::kListPages, [&] {
                found = SortPageImages(GetFilesInFolder(folder, WorkLayout::pageImagePattern()));
            });
        }
        folders.append(folder);
        names.append(found);
        rendered.append({*results.rangeResults.at(i), static_cast<int>(found.size())});
        scripts.append(JpegScriptName(m_run.style, results.ranges.at(i)));
    }
    const PageSelection selection = SelectPages(results.pdf.value_or(GhostscriptResult{}),
                                                PsToPdfScriptName(m_run.style), rendered, scripts);
    FileFailure failure = selection.failure;
    // Out of time is why, unless the document failed on its own first.
    if (results.limitReached && (!failure.failed() || failure.kind == FileFailure::Kind::NoPage)) {
        failure = FileFailure::timeLimit(m_run.settings.fileTimeLimit);
    }
    m_outcome.failure = m_beginsLikeADocument ? failure : failure.ofNonDocument();
    QStringList images;
    for (qsizetype i = 0; i < rendered.size(); ++i) {
        for (int page = 0; page < selection.imagesPerRange.value(i); ++page) {
            images.append(folders[i] + QLatin1Char('/') + names[i].at(page));
        }
    }
    placePages(images);
    trap.step(MakePages::kRemoveFileFolder,
              [&] { DeleteFolderTree(m_run.layout.fileFolder(m_row)); });
}

void FileConversion::placePages(const QStringList& images) {
    auto trap = m_run.trap<MakePages>();
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
        if (trap.step(intoFolder ? MakePages::kPlacePageInFolder
                                 : MakePages::kPlacePageBesideSource,
                      [&] { DeliverFile(images.at(page - 1), target); })) {
            ++m_outcome.delivered;
            m_outcome.deliveredPaths.append(target);
        }
    }
    if (!m_outcome.failed() && m_outcome.delivered < m_outcome.pages) {
        m_outcome.failure =
            FileFailure::pageCount(FileFailure::Kind::PagesNotSaved,
                                   m_outcome.pages - m_outcome.delivered, m_outcome.pages);
    }
}

double FileConversion::progress() const {
    if (!m_pdfJob) {
        return 0;
    }
    const int madeInPdf = m_pdfJob->pagesReported();
    if (m_pdfJob->isRunning()) {
        // Pages finished so far against the pages the document announces,
        // or against one more than finished when it announces none.
        const int expected = std::max(m_outcome.expectedPages, madeInPdf + 1);
        return kStageShare * madeInPdf / expected;
    }
    int rendered = 0;
    bool rendering = false;
    for (const auto& job : m_rangeJobs) {
        if (job) {
            rendered += job->pagesReported();
            rendering = rendering || job->isRunning();
        }
    }
    if (m_rangeJobs.empty()) {
        return kStageShare;
    }
    if (!rendering) {
        return 1;
    }
    return kStageShare +
           (1 - kStageShare) * std::min(1.0, double(rendered) / std::max(madeInPdf, 1));
}

} // namespace velmora
