#include "convert/pdf_stages.h"

#include "base/error_numbers.h"
#include "base/error_trap.h"
#include "base/event_pump.h"
#include "base/failure.h"
#include "base/folder_listing.h"
#include "base/path_helpers.h"
#include "convert/busy_pointer.h"
#include "convert/ghostscript_job.h"
#include "convert/ghostscript_report.h"
#include "convert/output_target.h"
#include "convert/page_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace velmora {

namespace {

const QString kCurrentPs = QStringLiteral("current.ps");
const QString kCurrentPdf = QStringLiteral("current.pdf");
const QString kMarker = QStringLiteral("file.nfo");
const QString kPageImages = QStringLiteral("current*.jpg");
const QString kPdfFolderName = QStringLiteral("pdf");
// A range shorter than this is not worth a Ghostscript of its own: each
// start costs about as much as rendering a page.
constexpr int kMinPagesPerRange = 4;
// The PDF stage and the JPEG stage count as halves of a file's progress.
constexpr double kStageShare = 0.5;

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Copies everything from one open file to another. Plain reads and writes
// give the user the real reason of a failure ("No space left on device").
void copyContents(QFile& source, QFile& target) {
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(buffer.data(), buffer.size());
        if (got < 0) {
            throw Failure::fromFile(source, QStringLiteral("read"));
        }
        if (got == 0) {
            break;
        }
        // A short write is retried, so that a full disk shows as ENOSPC.
        for (qint64 done = 0; done < got;) {
            const qint64 wrote = target.write(buffer.constData() + done, got - done);
            if (wrote <= 0) {
                throw Failure::fromFile(target, QStringLiteral("write"));
            }
            done += wrote;
        }
    }
    if (!target.flush()) {
        throw Failure::fromFile(target, QStringLiteral("write"));
    }
}

// Opens a file a Ghostscript made, only when it is a regular file and never
// through a link: a document that got past Ghostscript's safe mode must not
// make us read, and deliver as its page, a file it could not see.
void openOwnOutput(const QString& path, QFile& file) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        throw Failure(QStringLiteral("File not found: ") + path, error_number::kFileNotFound);
    }
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

void copyReplacing(const QString& from, const QString& to) {
    QFile source;
    openOwnOutput(from, source);
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        throw Failure::fromFile(target, QStringLiteral("create"));
    }
    copyContents(source, target);
}

// Opens a source for reading, never blocking (a FIFO would wait for a
// writer) and only when it is a regular file. Returns why not, or empty.
QString openSource(const QString& path, QFile& file) {
    const QByteArray native = QFile::encodeName(path);
    const auto notRegular = QStringLiteral("not a regular file");
    // A socket cannot even be opened: tell its kind before trying.
    struct stat kind {};
    if (::stat(native.constData(), &kind) == 0 && !S_ISREG(kind.st_mode)) {
        return notRegular;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errnoText(errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notRegular;
    }
    if (info.st_size == 0) {
        ::close(fd);
        // Ghostscript makes a blank page of nothing; deliver nothing instead.
        return QStringLiteral("empty file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return {};
}

QString noProgressText(std::chrono::milliseconds limit) {
    constexpr double kMsPerSecond = 1000.0;
    return QStringLiteral("no progress for %1 s").arg(limit.count() / kMsPerSecond);
}

} // namespace

// One page range of the JPEG stage and its Ghostscript.
struct PdfStages::RangeJob {
    PageRange range;
    QString folder;
    std::unique_ptr<GhostscriptJob> job;
};

QString PsToPdfScriptName(PathStyle style) {
    return style == PathStyle::Windows ? QStringLiteral("pstopdf.bat")
                                       : QStringLiteral("pstopdf.sh");
}

QString JpegScriptName(PathStyle style, PageRange range) {
    const QString name = QStringLiteral("pdf2tiff");
    const QString extension =
        style == PathStyle::Windows ? QStringLiteral(".bat") : QStringLiteral(".sh");
    if (range == PageRange{}) {
        return name + extension;
    }
    return QStringLiteral("%1-%2-%3%4")
        .arg(name)
        .arg(range.first)
        .arg(range.last < 0 ? QStringLiteral("end") : QString::number(range.last), extension);
}

QString JpegScriptText(int quality, PathStyle style, PageRange range) {
    const bool windows = style == PathStyle::Windows;
    QString pages;
    if (range != PageRange{}) {
        pages = QStringLiteral("-dFirstPage=%1 ").arg(range.first);
        if (range.last >= 0) {
            pages += QStringLiteral("-dLastPage=%1 ").arg(range.last);
        }
    }
    // The command interpreter turns "%%" into "%"; the Posix shell passes "%" as is.
    return (windows ? QStringLiteral("gswin32c") : QStringLiteral("gs")) +
           QStringLiteral(" -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=") +
           QString::number(quality) + QStringLiteral(" -dDOINTERPOLATE ") + pages +
           (windows ? QStringLiteral("-sOutputFile=current-%%03d.jpg")
                    : QStringLiteral("-sOutputFile=current-%03d.jpg")) +
           QStringLiteral(" -r300 current.pdf") + lineBreak(style) +
           (windows ? QStringLiteral("del current.pdf") : QStringLiteral("rm -f current.pdf"));
}

PdfStages::PdfStages(const StageContext& context, int number, const QString& sourcePath,
                     QObject* parent)
    : QObject(parent), m_context(context), m_number(number) {
    m_outcome.source = sourcePath;
}

PdfStages::~PdfStages() {
    stop(QString());
    DeleteFolderTree(jobFolder(QString()));
}

QString PdfStages::jobFolder(const QString& name) const {
    const QString folder = m_context.runFolder + QStringLiteral("/file-%1").arg(m_number);
    return name.isEmpty() ? folder : folder + QLatin1Char('/') + name;
}

QString PdfStages::createJobFolder(const QString& name) {
    const QString folder = jobFolder(name);
    if (!QDir().mkpath(folder)) {
        throw Failure(QStringLiteral("Could not create ") + folder);
    }
    return folder;
}

void PdfStages::PS_To_PDF() {
    ErrorTrap trap(m_context.prompter, QStringLiteral("PDF.PS_To_PDF"));
    const QString& sourcePath = m_outcome.source;
    trap.step(100, [&] { m_context.pointer.setApplicationPointer(BusyPointer::Busy); });

    QFile source;
    m_outcome.failure = openSource(sourcePath, source);
    if (m_outcome.failed()) {
        m_phase = Phase::Done;
        return;
    }
    trap.step(110, [&] {
        m_pdfFolder = createJobFolder(kPdfFolderName);
        QFile marker(m_pdfFolder + QLatin1Char('/') + kMarker);
        if (!marker.open(QIODevice::WriteOnly)) {
            throw Failure::fromFile(marker, QStringLiteral("create"));
        }
    });
    const QString copy = m_pdfFolder + QLatin1Char('/') + kCurrentPs;
    QString why = QStringLiteral("could not be copied");
    const bool copied = !m_pdfFolder.isEmpty() && trap.step(112, [&] {
        QFile target(copy);
        try {
            if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
                throw Failure::fromFile(target, QStringLiteral("create"));
            }
            copyContents(source, target);
        } catch (const Failure& failure) {
            why = failure.description(); // the real reason, for the line after "Done."
            throw;
        }
    });
    if (!copied) {
        m_outcome.failure = why;
        m_phase = Phase::Done;
        return;
    }
    // Read from our own copy: the source may change or vanish meanwhile.
    m_outcome.expectedPages = AnnouncedPageCount(copy);
    m_phase = Phase::Ready;
}

bool PdfStages::canStart() const {
    if (m_phase == Phase::Ready || m_phase == Phase::PdfReady) {
        return true;
    }
    return m_phase == Phase::Rendering &&
           std::any_of(m_ranges.cbegin(), m_ranges.cend(),
                       [](const auto& range) { return range->job == nullptr; });
}

int PdfStages::running() const {
    int count = m_phase == Phase::MakingPdf ? 1 : 0;
    for (const auto& range : m_ranges) {
        count += range->job && range->job->end() == GhostscriptJob::End::Running ? 1 : 0;
    }
    return count;
}

GhostscriptJob* PdfStages::launch(const QString& script, const QString& folder) {
    auto* job = new GhostscriptJob({m_context.scriptsFolder + QLatin1Char('/') + script, folder,
                                    &m_context.sandbox, m_context.noProgressLimit,
                                    m_context.memoryLimitBytes});
    connect(job, &GhostscriptJob::pageReported, this, &PdfStages::progressed);
    return job;
}

void PdfStages::startNext(int freeJobs, int maxJobs) {
    if (m_phase == Phase::Ready) {
        m_pdfJob.reset(launch(PsToPdfScriptName(m_context.style), m_pdfFolder));
        connect(m_pdfJob.get(), &GhostscriptJob::finished, this, &PdfStages::pdfMade);
        m_phase = Phase::MakingPdf;
        m_pdfJob->start();
        return;
    }
    if (m_phase == Phase::PdfReady) {
        // A long document's pages are shared out over the Ghostscripts that
        // could run now; with one job at a time the whole document is one range.
        const int parts = maxJobs > 1 ? freeJobs : 1;
        const QList<PageRange> split = SplitPages(m_pagesClaimed, parts, kMinPagesPerRange);
        for (const PageRange& range : split) {
            auto entry = std::make_shared<RangeJob>();
            entry->range = split.size() == 1 ? PageRange{} : range;
            m_ranges.append(entry);
        }
        m_phase = Phase::Rendering;
    }
    for (const auto& entry : m_ranges) {
        if (entry->job != nullptr) {
            continue;
        }
        ErrorTrap trap(m_context.prompter, QStringLiteral("PDF.PDF_To_JPG"));
        const QString name = QStringLiteral("jpg-%1").arg(entry->range.first);
        const QString script = JpegScriptName(m_context.style, entry->range);
        bool ready = trap.step(104, [&] {
            entry->folder = createJobFolder(name);
            const QString scriptPath = m_context.scriptsFolder + QLatin1Char('/') + script;
            if (!QFileInfo::exists(scriptPath)) {
                WriteTextFile(scriptPath,
                              JpegScriptText(m_context.quality, m_context.style, entry->range),
                              m_context.style);
            }
        });
        // Every range gets its own copy of the PDF: a link where the file
        // system allows, else a real copy.
        ready = ready && trap.step(108, [&] {
            const QString from = m_pdfFolder + QLatin1Char('/') + kCurrentPdf;
            const QString to = entry->folder + QLatin1Char('/') + kCurrentPdf;
            struct stat info {};
            const bool regular =
                ::lstat(QFile::encodeName(from).constData(), &info) == 0 && S_ISREG(info.st_mode);
            if (!regular || ::link(QFile::encodeName(from).constData(),
                                   QFile::encodeName(to).constData()) != 0) {
                copyReplacing(from, to);
            }
        });
        entry->job.reset(launch(script, entry->folder));
        connect(entry->job.get(), &GhostscriptJob::finished, this, &PdfStages::rangeEnded);
        if (ready) {
            entry->job->start();
        } else {
            entry->job->stop(); // counts as ended, with nothing made
        }
        return;
    }
}

QString PdfStages::jobFailure(const GhostscriptJob& job, const QString& scriptName) const {
    switch (job.end()) {
    case GhostscriptJob::End::LaunchFailed:
        return QStringLiteral("could not run %1 (%2)").arg(scriptName, job.launchError());
    case GhostscriptJob::End::NoProgress:
        return noProgressText(m_context.noProgressLimit);
    case GhostscriptJob::End::Stopped:
        return QStringLiteral("stopped");
    case GhostscriptJob::End::Running:
    case GhostscriptJob::End::Finished:
        break;
    }
    if (job.exitCode() == 0) {
        return {};
    }
    const QString report = job.errorReport();
    return report.isEmpty() ? QStringLiteral("Ghostscript ended with status %1").arg(job.exitCode())
                            : report;
}

void PdfStages::pdfMade() {
    if (m_stopped) {
        return;
    }
    ErrorTrap trap(m_context.prompter, QStringLiteral("PDF.PS_To_PDF"));
    const GhostscriptJob& job = *m_pdfJob;
    m_pagesClaimed = job.pagesReported();
    m_outcome.failure = jobFailure(job, PsToPdfScriptName(m_context.style));
    // Pages finished before a failure are kept; the document's own count of
    // them is believed only as far as the PDF holds pages.
    if (m_outcome.failed()) {
        m_pagesToDeliver = m_pagesClaimed;
    }
    trap.step(124, [&] { KillFile(m_pdfFolder + QLatin1Char('/') + kMarker); });
    const bool havePdf = QFileInfo(m_pdfFolder + QLatin1Char('/') + kCurrentPdf).isFile();
    // A document that finished no page still gives a PDF with one blank
    // page: that is no page of the document. One that ended well without
    // reporting pages may have put its own page procedure in place of ours:
    // its PDF is rendered, and believed when it holds more than that page.
    m_onlyIfSeveral = m_pagesClaimed == 0 && job.succeeded();
    if (!havePdf || job.end() != GhostscriptJob::End::Finished ||
        (m_pagesClaimed == 0 && !m_onlyIfSeveral)) {
        m_phase = Phase::Rendered;
    } else {
        m_phase = Phase::PdfReady;
    }
    emit jobEnded();
}

void PdfStages::rangeEnded() {
    if (m_stopped) {
        return;
    }
    const bool allEnded = std::all_of(m_ranges.cbegin(), m_ranges.cend(), [](const auto& range) {
        return range->job && range->job->end() != GhostscriptJob::End::Running;
    });
    if (allEnded) {
        m_phase = Phase::Rendered;
    }
    emit progressed();
    emit jobEnded();
}

void PdfStages::deliverPage(const QString& image, const QString& target) {
    // Write beside the target, then rename over it: a page of that name is
    // replaced in one step, and a full disk leaves the old one intact. A new
    // page gets the mode the user's umask gives; a replaced one keeps its
    // mode; a link of the page's name is replaced, never followed.
    QString part;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        part =
            target + QStringLiteral(".%1.part").arg(QRandomGenerator::global()->generate(), 0, 36);
        fd = ::open(QFile::encodeName(part).constData(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100)) {
            throw Failure(QStringLiteral("Could not save %1: %2").arg(target, errnoText(errno)));
        }
    }
    struct stat existing {};
    if (::lstat(QFile::encodeName(target).constData(), &existing) == 0 &&
        S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
    }
    QFile out;
    out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    try {
        QFile in;
        openOwnOutput(image, in);
        copyContents(in, out);
        out.close();
        std::error_code error;
        std::filesystem::rename(fsPath(part), fsPath(target), error);
        if (error) {
            throw Failure(QStringLiteral("Could not save %1: %2")
                              .arg(target, QString::fromLocal8Bit(error.message().c_str())));
        }
    } catch (...) {
        out.close();
        QFile::remove(part);
        throw;
    }
}

void PdfStages::PDF_To_JPG() {
    const PathStyle style = m_context.style;
    ErrorTrap trap(m_context.prompter, QStringLiteral("PDF.PDF_To_JPG"));
    BusyPointer& pointer = m_context.pointer;
    OutputTarget& output = m_context.output;
    const QString& sourcePath = m_outcome.source;

    // The pages carry the name of the PDF the source would become.
    QString prefix;
    trap.step(100, [&] {
        prefix =
            PagePrefix(RemoveExtension(GetFileName(sourcePath, style)) + QStringLiteral(".pdf"));
    });
    trap.step(118, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });

    // The pages in page order: each range's complete pages, up to the first
    // range that failed. A page a failing Ghostscript was still making (the
    // last it began) may be cut short and is left out.
    QStringList images;
    bool complete = true;
    for (const auto& entry : m_ranges) {
        if (!complete) {
            break;
        }
        QStringList names;
        trap.step(126,
                  [&] { names = SortPageImages(GetFilesInFolder(entry->folder, kPageImages)); });
        const GhostscriptJob& job = *entry->job;
        qsizetype usable = names.size();
        // Our own PDF makes Ghostscript complain only when something went
        // wrong (a full disk, say), even where it ends with status 0.
        const int beforeError = job.pagesBeforeError();
        if (!job.succeeded() || beforeError >= 0) {
            complete = false;
            const int begun = beforeError >= 0 ? beforeError : job.pagesReported();
            usable = std::min<qsizetype>(usable, std::max(0, begun - 1));
            if (!m_outcome.failed()) {
                m_outcome.failure = job.succeeded()
                                        ? job.errorReport()
                                        : jobFailure(job, JpegScriptName(style, entry->range));
            }
        }
        for (qsizetype i = 0; i < usable; ++i) {
            images.append(entry->folder + QLatin1Char('/') + names.at(i));
        }
    }
    if (m_pagesToDeliver >= 0 && images.size() > m_pagesToDeliver) {
        images.resize(m_pagesToDeliver);
    }
    if (m_onlyIfSeveral && images.size() < 2) {
        images.clear();
    }
    trap.step(128, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });

    m_outcome.pages = static_cast<int>(images.size());
    for (int i = 1; i <= images.size(); ++i) {
        const QString& image = images.at(i - 1);
        // The choice is read for every page: a change during the run
        // applies from the next page on.
        OutputTarget::Choice choice = OutputTarget::Choice::None;
        trap.step(136, [&] { choice = output.choice(); });
        QString target;
        if (choice == OutputTarget::Choice::Folder) {
            target = DeliveredPageName(output.folderText(), prefix, i, style);
        } else if (choice == OutputTarget::Choice::BesideSource) {
            target = DeliveredPageName(GetFolderPath(sourcePath, style), prefix, i, style);
        } else {
            continue;
        }
        const int line = choice == OutputTarget::Choice::Folder ? 138 : 142;
        if (trap.step(line, [&] { deliverPage(image, target); })) {
            ++m_outcome.delivered;
            m_outcome.deliveredPaths.append(target);
        }
    }
    trap.step(150, [&] { DeleteFolderTree(jobFolder(QString())); });

    if (!m_outcome.failed()) {
        if (m_outcome.pages == 0) {
            m_outcome.failure = QStringLiteral("no page");
        } else if (m_outcome.expectedPages > m_outcome.pages) {
            m_outcome.failure =
                QStringLiteral("%1 of %2 pages").arg(m_outcome.pages).arg(m_outcome.expectedPages);
        } else if (m_outcome.delivered < m_outcome.pages &&
                   output.choice() != OutputTarget::Choice::None) {
            m_outcome.failure = QStringLiteral("%1 of %2 pages could not be saved")
                                    .arg(m_outcome.pages - m_outcome.delivered)
                                    .arg(m_outcome.pages);
        }
    }
    m_phase = Phase::Done;
}

void PdfStages::stop(const QString& reason) {
    m_stopped = true;
    if (m_pdfJob) {
        m_pdfJob->stop();
    }
    for (const auto& entry : m_ranges) {
        if (entry->job) {
            entry->job->stop();
        }
    }
    if (m_phase != Phase::Done && !reason.isEmpty() && !m_outcome.failed()) {
        m_outcome.failure = reason;
    }
    m_phase = Phase::Done;
}

double PdfStages::progress() const {
    switch (m_phase) {
    case Phase::Ready:
        return 0;
    case Phase::MakingPdf: {
        // Pages finished so far against the pages the document announces,
        // or against one more than finished when it announces none.
        const int made = m_pdfJob ? m_pdfJob->pagesReported() : 0;
        const int expected = std::max(m_outcome.expectedPages, made + 1);
        return kStageShare * made / expected;
    }
    case Phase::PdfReady:
        return kStageShare;
    case Phase::Rendering: {
        int rendered = 0;
        for (const auto& entry : m_ranges) {
            rendered += entry->job ? entry->job->pagesReported() : 0;
        }
        return kStageShare +
               (1 - kStageShare) * std::min(1.0, double(rendered) / std::max(m_pagesClaimed, 1));
    }
    case Phase::Rendered:
    case Phase::Done:
        return 1;
    }
    return 1;
}

} // namespace velmora
