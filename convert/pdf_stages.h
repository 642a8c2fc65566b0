#pragma once

#include "base/path_style.h"
#include "convert/file_outcome.h"

#include <QString>

#include <chrono>

namespace velmora {

class BusyPointer;
class EventPump;
class OutputTarget;
class Prompter;
class RunCancellation;

// The scripts in the work folder and the text of the JPEG script.
QString PsToPdfScriptName(PathStyle style = nativePathStyle());
QString JpegScriptName(PathStyle style = nativePathStyle());
// The JPEG script without its final line break (WriteTextFile adds it).
QString JpegScriptText(int quality, PathStyle style = nativePathStyle());

// What both stages share for one run.
struct StageContext {
    QString workFolder; // private, no trailing separator
    Prompter& prompter;
    EventPump& events;
    BusyPointer& pointer;
    OutputTarget& output;
    RunCancellation& cancellation;
    std::chrono::milliseconds timeLimit;
    qint64 memoryLimitBytes = 0;
    PathStyle style = nativePathStyle();
};

// The two Ghostscript stages of one source file: PostScript to PDF, then PDF
// to one JPEG per page, delivered to the output folder under the source's
// name. Failures are reported in the error box and recorded in the outcome.
class PdfStages {
public:
    explicit PdfStages(StageContext& context) : m_context(context) {}

    FileOutcome PS_To_PDF(const QString& sourcePath);

    // Turns pdfPath into pages named after deliveredAs (its name gives the
    // prefix, its folder the place of "beside the original").
    void PDF_To_JPG(const QString& pdfPath, const QString& deliveredAs, FileOutcome& outcome);

private:
    QString workFile(const QString& name) const;
    bool runScript(const QString& scriptName, QByteArray* output, FileOutcome& outcome);
    void deliverPage(const QString& image, const QString& target);

    StageContext& m_context;
};

} // namespace velmora
