#pragma once

#include <QString>

namespace velmora {

// Where everything of a run lies inside its private work folder:
//
//   run/velmora.lock       held locked while the run lives
//   run/scripts/           our scripts: the program's ps/ folder and the JPEG
//                          scripts; no Ghostscript can write here
//   run/file-N/pdf/        the PostScript stage of row N: current.ps in,
//                          current.pdf out
//   run/file-N/jpg-K/      the JPEG stage's range from page K: a copy of
//                          current.pdf in, current-NNN.jpg out
//   <any job folder>/tmp/  that Ghostscript's temp folder
//
// Each Ghostscript gets one empty job folder, the only place it can write;
// the stages hand each other files only through copies the program makes.
class WorkLayout {
public:
    explicit WorkLayout(QString runFolder) : m_run(std::move(runFolder)) {}

    // Where a run's own folder is made in the temp folder: a unique name
    // (QTemporaryDir's template), and the names of such folders.
    static QString runFolderTemplate(const QString& tempFolder);
    static QString runFolderNames();
    // The file a living run holds locked in its folder (see WorkFolderLock).
    static QString lockFile(const QString& runFolder);

    const QString& runFolder() const { return m_run; }
    QString scriptsFolder() const;
    QString script(const QString& name) const;
    QString fileFolder(int row) const;
    QString pdfFolder(int row) const;
    QString rangeFolder(int row, int firstPage) const;

    static QString tempFolder(const QString& jobFolder);
    static QString sourceCopy(const QString& jobFolder);
    static QString pdf(const QString& jobFolder);

    // The names inside a job folder that the stage scripts use too: the PDF
    // ("current.pdf"), the page images Ghostscript writes as printf's format
    // ("current-%03d.jpg": current-001.jpg, ...) and a wildcard matching them.
    static QString pdfName();
    static QString pageImageFormat();
    static QString pageImagePattern();

    // The base of the run folders as the environment names the user's
    // temporary folder ("TEMP" on Windows, "TMPDIR" elsewhere), tidied by
    // FixPath and without a trailing separator. Empty when it is not set:
    // the engine then uses the system's temporary folder.
    static QString tempFolderFromEnvironment();

private:
    QString m_run;
};

} // namespace velmora
