#include "convert/ghostscript_program.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace velmora {

namespace {

const QString kProgram64 = QStringLiteral("gswin64c");
const QString kProgram32 = QStringLiteral("gswin32c");
// Where Ghostscript's installers file each version they install, under
// either name the project has had.
const QString kInstallKeys[] = {
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\GPL Ghostscript"),
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Artifex Ghostscript"),
};
const QString kDllValue = QStringLiteral("GS_DLL");

QList<GhostscriptInstall> recordedInstalls() {
    QList<GhostscriptInstall> installs;
    for (const QString& key : kInstallKeys) {
        // The 32-bit installer writes to the registry's 32-bit view.
        for (const QSettings::Format format :
             {QSettings::NativeFormat, QSettings::Registry32Format}) {
            const QSettings registry(key, format);
            for (const QString& version : registry.childGroups()) {
                installs.append(
                    {version, registry.value(version + QLatin1Char('/') + kDllValue).toString()});
            }
        }
    }
    return installs;
}

} // namespace

QString DefaultGhostscript() {
    return kProgram64;
}

QString FindGhostscript(const QString& asked) {
    if (asked != DefaultGhostscript()) {
        return QStandardPaths::findExecutable(asked);
    }
    for (const QString& name : {kProgram64, kProgram32}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) {
            return found;
        }
    }
    // An uninstalled version can leave its key behind.
    for (const QString& program : GhostscriptCandidates(recordedInstalls())) {
        if (QFileInfo(program).isFile()) {
            return QDir::fromNativeSeparators(program);
        }
    }
    return {};
}

} // namespace velmora
