#include "convert/pdf_stages.h"

#include "base/error_trap.h"
#include "base/event_pump.h"
#include "base/failure.h"
#include "base/folder_listing.h"
#include "base/path_helpers.h"
#include "convert/busy_pointer.h"
#include "convert/ghostscript_report.h"
#include "convert/output_target.h"
#include "convert/page_names.h"
#include "convert/run_cancellation.h"
#include "convert/shell_launch.h"

#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace velmora {

namespace {

const QString CurrentPs = QStringLiteral("current.ps");
const QString CurrentPdf = QStringLiteral("current.pdf");
const QString Marker = QStringLiteral("file.nfo");
// The PDF between the stages stays in the private work folder, so that a
// user's own file of the same name beside the source is never touched.
const QString StagePdf = QStringLiteral("stage.pdf");
const QString PsLog = QStringLiteral("pstopdf.log");
const QString PsStatus = QStringLiteral("pstopdf.status");

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Copies a file, replacing one of the target's name. Plain reads and writes
// give the user the real reason of a failure ("No space left on device").
void copyReplacing(const QString& from, const QString& to) {
    QFile source(from);
    if (!QFileInfo(from).isFile() || !source.open(QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("File not found: ") + from, 53);
    }
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        throw Failure::fromFile(target, QStringLiteral("create"));
    }
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

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString PsToPdfScriptName(PathStyle style) {
    return style == PathStyle::Windows ? QStringLiteral("pstopdf.bat")
                                       : QStringLiteral("pstopdf.sh");
}

QString JpegScriptName(PathStyle style) {
    return style == PathStyle::Windows ? QStringLiteral("pdf2tiff.bat")
                                       : QStringLiteral("pdf2tiff.sh");
}

QString JpegScriptText(int quality, PathStyle style) {
    const bool windows = style == PathStyle::Windows;
    // The command interpreter turns "%%" into "%"; the Posix shell passes "%" as is.
    return (windows ? QStringLiteral("gswin32c") : QStringLiteral("gs")) +
           QStringLiteral(" -dSAFER -dBATCH -dNOPAUSE -sDEVICE=jpeg -dJPEGQ=") +
           QString::number(quality) + QStringLiteral(" -dDOINTERPOLATE ") +
           (windows ? QStringLiteral("-sOutputFile=current-%%03d.jpg")
                    : QStringLiteral("-sOutputFile=current-%03d.jpg")) +
           QStringLiteral(" -r300 current.pdf") + lineBreak(style) +
           (windows ? QStringLiteral("del current.pdf") : QStringLiteral("rm -f current.pdf"));
}

QString PdfStages::workFile(const QString& name) const {
    return m_context.workFolder + separator(m_context.style) + name;
}

bool PdfStages::runScript(const QString& scriptName, QByteArray* output, FileOutcome& outcome) {
    LaunchOptions options;
    options.timeLimit = m_context.timeLimit;
    options.memoryLimitBytes = m_context.memoryLimitBytes;
    options.cancellation = &m_context.cancellation;
    // Ghostscript's safe mode still lets a document write under the temp
    // folder: make that the private work folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
        environment.insert(QString::fromLatin1(name), m_context.workFolder);
    }
    options.environment = environment;

    const QChar quote(34);
    const ShellWaitResult result =
        ShellAndWait(quote + workFile(scriptName) + quote, 0,
                     m_context.workFolder + separator(m_context.style), options);
    if (output != nullptr) {
        *output = result.output;
    }
    if (result.error) {
        outcome.failure =
            QStringLiteral("could not run %1 (%2)").arg(scriptName, result.error->description);
        return false;
    }
    if (result.timedOut) {
        outcome.failure = QStringLiteral("timed out");
        return false;
    }
    return !result.cancelled;
}

FileOutcome PdfStages::PS_To_PDF(const QString& sourcePath) {
    const PathStyle style = m_context.style;
    ErrorTrap trap(m_context.prompter, QStringLiteral("PDF.PS_To_PDF"));
    BusyPointer& pointer = m_context.pointer;
    FileOutcome outcome;
    outcome.source = sourcePath;

    trap.step(100, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });
    trap.step(102, [&] { KillFile(workFile(CurrentPs)); });
    trap.step(104, [&] { KillFile(workFile(CurrentPdf)); });
    trap.step(106, [&] {
        KillFile(workFile(Marker));
        KillFile(workFile(PsLog));
        KillFile(workFile(PsStatus));
    });
    trap.step(108, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });
    outcome.expectedPages = AnnouncedPageCount(sourcePath);
    // The marker's content never mattered, only its existence: an empty file
    // saves a second copy of a possibly large source.
    trap.step(110, [&] {
        QFile marker(workFile(Marker));
        if (!marker.open(QIODevice::WriteOnly)) {
            throw Failure::fromFile(marker, QStringLiteral("create"));
        }
    });
    trap.step(112, [&] { copyReplacing(sourcePath, workFile(CurrentPs)); });

    // The copy is synchronous: once it returned, current.ps is there or never
    // will be, so there is nothing to wait for.
    if (!QFileInfo(workFile(CurrentPs)).isFile()) {
        outcome.failure = QStringLiteral("could not be copied");
    } else if (QFileInfo(workFile(CurrentPs)).size() == 0) {
        // Ghostscript makes a blank page of nothing; deliver nothing instead.
        outcome.failure = QStringLiteral("empty file");
    }

    if (!outcome.failed()) {
        runScript(PsToPdfScriptName(style), nullptr, outcome);
    }
    trap.step(122, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });
    // A script stopped before its end leaves its marker behind.
    trap.step(124, [&] { KillFile(workFile(Marker)); });

    if (!outcome.failed() && !m_context.cancellation.isCancelled()) {
        const QString status = QString::fromLatin1(readAll(workFile(PsStatus))).trimmed();
        const QString complaint = GhostscriptErrorLine(readAll(workFile(PsLog)));
        if (!complaint.isEmpty()) {
            outcome.failure = complaint;
        } else if (!status.isEmpty() && status != QLatin1String("0")) {
            outcome.failure = QStringLiteral("Ghostscript ended with status ") + status;
        }
    }

    // A document Ghostscript rejected still gives a PDF with a blank page;
    // only a clean PDF goes on to become pages.
    const bool convert = !outcome.failed() && !m_context.cancellation.isCancelled();
    if (convert && QFileInfo::exists(workFile(CurrentPdf))) {
        const QString baseName = RemoveExtension(GetFileName(sourcePath, style));
        QString deliveredAs = baseName + QStringLiteral(".pdf");
        trap.step(132, [&] {
            const OutputTarget::Choice choice = m_context.output.choice();
            if (choice == OutputTarget::Choice::Folder) {
                deliveredAs = FixPath(m_context.output.folderText() + separator(style) + baseName +
                                          QStringLiteral(".pdf"),
                                      style);
            } else if (choice == OutputTarget::Choice::BesideSource) {
                deliveredAs = FixPath(GetFolderPath(sourcePath, style) + separator(style) +
                                          baseName + QStringLiteral(".pdf"),
                                      style);
            }
        });
        trap.step(140, [&] {
            KillFile(workFile(StagePdf));
            if (!QFile::rename(workFile(CurrentPdf), workFile(StagePdf))) {
                throw Failure(QStringLiteral("Could not keep the PDF of ") + sourcePath);
            }
        });
        trap.step(142, [&] { KillFile(workFile(CurrentPdf)); });
        trap.step(144, [&] { PDF_To_JPG(workFile(StagePdf), deliveredAs, outcome); });
        trap.step(146, [&] { KillFile(workFile(StagePdf)); });
    } else {
        KillFile(workFile(CurrentPdf));
    }
    trap.step(148, [&] { pointer.setApplicationPointer(BusyPointer::Default); });

    if (!outcome.failed() && !m_context.cancellation.isCancelled()) {
        if (outcome.pages == 0) {
            outcome.failure = QStringLiteral("no page");
        } else if (outcome.expectedPages > outcome.pages) {
            outcome.failure =
                QStringLiteral("%1 of %2 pages").arg(outcome.pages).arg(outcome.expectedPages);
        } else if (outcome.delivered < outcome.pages &&
                   m_context.output.choice() != OutputTarget::Choice::None) {
            outcome.failure = QStringLiteral("%1 of %2 pages could not be saved")
                                  .arg(outcome.pages - outcome.delivered)
                                  .arg(outcome.pages);
        }
    }
    return outcome;
}

void PdfStages::deliverPage(const QString& image, const QString& target) {
    // Write beside the target, then rename over it: a page of that name is
    // replaced in one step, and a full disk leaves the old one intact.
    QTemporaryFile part(target + QStringLiteral(".XXXXXX.part"));
    if (!part.open()) {
        throw Failure::fromFile(part, QStringLiteral("create a file for"));
    }
    part.close();
    copyReplacing(image, part.fileName());
    std::error_code error;
    std::filesystem::rename(fsPath(part.fileName()), fsPath(target), error);
    if (error) {
        throw Failure(QStringLiteral("Could not save %1: %2")
                          .arg(target, QString::fromLocal8Bit(error.message().c_str())));
    }
    part.setAutoRemove(false);
}

void PdfStages::PDF_To_JPG(const QString& pdfPath, const QString& deliveredAs,
                           FileOutcome& outcome) {
    const PathStyle style = m_context.style;
    ErrorTrap trap(m_context.prompter, QStringLiteral("PDF.PDF_To_JPG"));
    BusyPointer& pointer = m_context.pointer;
    OutputTarget& output = m_context.output;

    QString prefix;
    trap.step(100, [&] { prefix = PagePrefix(GetFileName(deliveredAs, style)); });
    trap.step(102, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });
    trap.step(104, [&] { KillFile(workFile(CurrentPdf)); });
    trap.step(106, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });
    trap.step(108, [&] { copyReplacing(pdfPath, workFile(CurrentPdf)); });

    bool finished = false;
    if (QFileInfo::exists(workFile(CurrentPdf))) {
        QByteArray messages;
        finished = runScript(JpegScriptName(style), &messages, outcome);
        if (finished && !outcome.failed()) {
            outcome.failure = GhostscriptErrorLine(messages);
        }
    } else if (!outcome.failed()) {
        outcome.failure = QStringLiteral("could not be copied");
    }
    trap.step(118, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });
    // A script stopped before its end leaves the document behind.
    trap.step(120, [&] { KillFile(workFile(CurrentPdf)); });

    QStringList pages;
    trap.step(126, [&] {
        pages =
            SortPageImages(GetFilesInFolder(m_context.workFolder, QStringLiteral("current*.jpg")));
    });
    trap.step(128, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });
    if (finished && !outcome.failed()) {
        // Pages of a stopped or failing Ghostscript (a full disk, say) may be
        // cut short: only a clean run's pages are delivered.
        outcome.pages = static_cast<int>(pages.size());
        for (int i = 1; i <= pages.size() && !m_context.cancellation.isCancelled(); ++i) {
            const QString image = workFile(pages.at(i - 1));
            // The choice is read for every page: a change during the run
            // applies from the next page on.
            OutputTarget::Choice choice = OutputTarget::Choice::None;
            trap.step(136, [&] { choice = output.choice(); });
            if (choice == OutputTarget::Choice::Folder) {
                outcome.delivered += trap.step(138, [&] {
                    deliverPage(image, DeliveredPageName(output.folderText(), prefix, i, style));
                });
            } else if (choice == OutputTarget::Choice::BesideSource) {
                outcome.delivered += trap.step(142, [&] {
                    deliverPage(image, DeliveredPageName(GetFolderPath(deliveredAs, style), prefix,
                                                         i, style));
                });
            }
        }
    }
    trap.step(146, [&] { pointer.setApplicationPointer(BusyPointer::Busy); });
    trap.step(148, [&] {
        pages = GetFilesInFolder(m_context.workFolder, QStringLiteral("current*.jpg"));
    });
    trap.step(150, [&] {
        for (const QString& name : pages) {
            KillFile(workFile(name));
        }
    });
    trap.step(156, [&] { pointer.setApplicationPointer(BusyPointer::Default); });
}

} // namespace velmora
