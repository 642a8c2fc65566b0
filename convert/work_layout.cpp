#include "convert/work_layout.h"

namespace velmora {

namespace {

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
    return inside(jobFolder, QStringLiteral("current.pdf"));
}

QString WorkLayout::pageImagePattern() {
    return QStringLiteral("current*.jpg");
}

} // namespace velmora
