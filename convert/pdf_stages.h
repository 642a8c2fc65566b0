#pragma once

#include "base/path_style.h"
#include "convert/file_outcome.h"
#include "convert/page_ranges.h"

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

namespace velmora {

class BusyPointer;
class GhostscriptJob;
class OutputTarget;
class Prompter;
class Sandbox;

// The scripts of a run and the text of the JPEG script.
QString PsToPdfScriptName(PathStyle style = nativePathStyle());
// The JPEG script for the whole document, or for one range of its pages.
QString JpegScriptName(PathStyle style = nativePathStyle(), PageRange range = {});
// The JPEG script without its final line break (WriteTextFile adds it).
QString JpegScriptText(int quality, PathStyle style = nativePathStyle(), PageRange range = {});

// What every file of a run shares.
struct StageContext {
    QString runFolder;     // private; holds the scripts folder and one folder per Ghostscript
    QString scriptsFolder; // our scripts; no Ghostscript can write there
    Prompter& prompter;
    BusyPointer& pointer;
    OutputTarget& output;
    const Sandbox& sandbox;
    int quality = 75;
    std::chrono::milliseconds noProgressLimit{0};
    qint64 memoryLimitBytes = 0;
    PathStyle style = nativePathStyle();
};

// One source file's way through the two Ghostscript stages: PostScript to
// PDF, then PDF to one JPEG per page (in one or several page ranges at
// once), then delivery of the pages under the source's name. Each
// Ghostscript runs in an empty folder of its own; the stages hand each other
// files only through copies the program makes. The conversion pool decides
// when each step runs; failures are reported in the error box and recorded
// in the outcome.
class PdfStages : public QObject {
    Q_OBJECT
public:
    enum class Phase {
        Ready,     // the source is in place; the PDF stage may start
        MakingPdf, // the PDF stage runs
        PdfReady,  // the JPEG stage may start
        Rendering, // page ranges run or wait to run
        Rendered,  // every Ghostscript has ended; the pages wait for delivery
        Done,      // delivered, or ended without pages
    };

    PdfStages(const StageContext& context, int number, const QString& sourcePath,
              QObject* parent = nullptr);
    ~PdfStages() override;

    // Checks the source and copies it into the PDF stage's folder; the file
    // is Done at once when there is nothing to convert.
    void PS_To_PDF();

    Phase phase() const { return m_phase; }
    // Whether a Ghostscript of this file could start now.
    bool canStart() const;
    // Starts the next Ghostscript: the PDF stage, or the next page range.
    // freeJobs is how many could run now, including this one: the JPEG
    // stage of a long document is split over them.
    void startNext(int freeJobs, int maxJobs);
    int running() const;

    // Places the rendered pages into the output folder, in page order.
    void PDF_To_JPG();

    // Stops every Ghostscript of the file; nothing more is delivered.
    void stop(const QString& reason);

    // How far the file has come, from 0 to 1.
    double progress() const;
    const FileOutcome& outcome() const { return m_outcome; }

signals:
    // A page was made or a Ghostscript ended.
    void progressed();
    void jobEnded();

private:
    struct RangeJob;
    QString jobFolder(const QString& name) const;
    QString createJobFolder(const QString& name);
    GhostscriptJob* launch(const QString& script, const QString& folder);
    void pdfMade();
    void rangeEnded();
    QString jobFailure(const GhostscriptJob& job, const QString& scriptName) const;
    void deliverPage(const QString& image, const QString& target);

    const StageContext& m_context;
    int m_number;
    FileOutcome m_outcome;
    Phase m_phase = Phase::Ready;
    QString m_pdfFolder;
    std::unique_ptr<GhostscriptJob> m_pdfJob;
    int m_pagesClaimed = 0;       // pages the PDF stage reported finished
    int m_pagesToDeliver = -1;    // -1: all that were rendered
    bool m_onlyIfSeveral = false; // a single rendered page is the blank stand-in
    QList<std::shared_ptr<RangeJob>> m_ranges;
    bool m_stopped = false;
};

} // namespace velmora
