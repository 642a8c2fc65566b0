#pragma once

#include "app/startup_helpers.h"

#include <QString>
#include <QThread>

#include <algorithm>

// Every setting the program keeps, in one table: its key in the store and the
// text a read gives while nothing is stored under it.
namespace velmora {

struct Setting {
    const char* key;
    QString (*defaultText)();
};

namespace setting {

// The output folder box; first the desktop folder with a closing separator.
inline constexpr Setting kOutputFolder{"Output Folder", &GetDesktopFolder};
// The quality slider position, a whole number.
inline constexpr Setting kJpgQuality{"JPGQuality", [] { return QStringLiteral("75"); }};
// Whether each output option is selected. Before anything is stored they
// read as "1" and "0", which TruthFromText takes as "True" and "False".
inline constexpr Setting kIntoFolderSelected{"Option1", [] { return QStringLiteral("1"); }};
inline constexpr Setting kBesideSourceSelected{"Option2", [] { return QStringLiteral("0"); }};
// The start folders of the two folder pickers: the output folder's "..."
// and "Add All".
inline constexpr Setting kLastFolderDot{"LastFolderDot", [] { return QString(); }};
inline constexpr Setting kLastFolder{"LastFolder", [] { return QString(); }};
// The extension last asked for by "Add All".
inline constexpr Setting kExtension{"Extension", [] { return QStringLiteral("ps"); }};
// How many Ghostscripts a run may use at once; 1 converts one file after
// another. First the number of cores.
inline constexpr Setting kJobs{
    "Jobs", [] { return QString::number(std::max(1, QThread::idealThreadCount())); }};
// All a document's PostScript stage may write, its temp files included, in MB.
inline constexpr Setting kWriteLimitMB{"WriteLimitMB", [] { return QStringLiteral("1024"); }};
// Whether the user has been told once that Ghostscript runs without a sandbox.
inline constexpr Setting kSandboxNoticeShown{"SandboxNoticeShown",
                                             [] { return QStringLiteral("False"); }};

} // namespace setting

} // namespace velmora
