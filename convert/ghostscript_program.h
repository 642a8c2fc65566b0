#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Which Ghostscript program a run calls.
namespace velmora {

// The Ghostscript a run asks for unless told otherwise: "gs" on Posix. On
// Windows "gswin64c", which stands for the system's Ghostscript console
// program wherever it is: gswin64c, else gswin32c, on PATH or where its
// installer put it.
QString DefaultGhostscript();

// The full path of the Ghostscript that `asked` (a name or a path) names;
// empty when there is none.
QString FindGhostscript(const QString& asked);

// One Ghostscript its Windows installer recorded: the version it is filed
// under, and its GS_DLL value (the path of gsdll64.dll or gsdll32.dll, which
// lies beside the console program); empty when missing.
struct GhostscriptInstall {
    QString version;
    QString dll;
};

// The console programs of recorded installs, best first: the newest version,
// and of one version the 64-bit program before the 32-bit one. An install
// whose GS_DLL is missing, names neither DLL or names no folder offers none.
QStringList GhostscriptCandidates(const QList<GhostscriptInstall>& installs);

} // namespace velmora
