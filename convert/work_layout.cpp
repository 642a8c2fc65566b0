#include "convert/work_layout.h"

#include "base/path_helpers.h"

#include <QDir>

namespace velmora {

namespace {

// What Ghostscript reads and writes in a job folder is called "current".
QString stem() {
    return QStringLiteral("current");
}

QString pageImageEnding() {
    return QStringLiteral(".jpg");
}

QString inside(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

} // namespace

QString WorkLayout::runFolderTemplate(const QString& tempFolder) {
    return inside(tempFolder, QStringLiteral("velmora-XXXXXX"));
}

QString WorkLayout::runFolderNames() {
    return QStringLiteral("velmora-??????");
}

QString WorkLayout::lockFile(const QString& runFolder) {
    return inside(runFolder, QStringLiteral("velmora.lock"));
}

QString WorkLayout::scriptsFolder() const {
    return inside(m_run, QStringLiteral("scripts"));
}

QString WorkLayout::script(const QString& name) const {
    return inside(scriptsFolder(), name);
}

QString WorkLayout::fileFolder(int row) const {
    return inside(m_run, QStringLiteral("file-%1").arg(row));
}

QString WorkLayout::pdfFolder(int row) const {
    return inside(fileFolder(row), QStringLiteral("pdf"));
}

QString WorkLayout::rangeFolder(int row, int firstPage) const {
    return inside(fileFolder(row), QStringLiteral("jpg-%1").arg(firstPage));
}

QString WorkLayout::tempFolder(const QString& jobFolder) {
    return inside(jobFolder, QStringLiteral("tmp"));
}

QString WorkLayout::sourceCopy(const QString& jobFolder) {
    return inside(jobFolder, QStringLiteral("current.ps"));
}

QString WorkLayout::pdf(const QString& jobFolder) {
    return inside(jobFolder, pdfName());
}

QString WorkLayout::pdfName() {
    return stem() + QStringLiteral(".pdf");
}

QString WorkLayout::pageImageFormat() {
    return stem() + QStringLiteral("-%03d") + pageImageEnding();
}

QString WorkLayout::pageImagePattern() {
    return stem() + QLatin1Char('*') + pageImageEnding();
}

QString WorkLayout::tempFolderFromEnvironment() {
#ifdef Q_OS_WIN
    const QString temp = qEnvironmentVariable("TEMP");
#else
    const QString temp = qEnvironmentVariable("TMPDIR");
#endif
    if (temp.isEmpty()) {
        return {};
    }
    QString base = FixPath(QDir::toNativeSeparators(temp));
    // "/" alone and "C:\" are roots and keep their separator.
    while (base.size() > 1 && base.endsWith(QDir::separator()) &&
           !base.endsWith(QStringLiteral(":\\"))) {
        base.chop(1);
    }
    return base;
}

} // namespace velmora
