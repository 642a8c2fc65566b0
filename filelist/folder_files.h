#pragma once

#include "base/error_trap.h"

#include <QString>
#include <QStringList>

namespace velmora {

struct ScanContext;

// Every file below folder (itself included) whose name matches "*." +
// extension ("*" matches every file), folder by folder, level after level,
// as rows for the file list: names beginning with "~" and files whose
// attribute word is exactly 34 (archive + hidden) are left out. A root
// folder ("C:\") gives rows with one separator after it ("C:\a.ps"). A
// folder that cannot be listed is reported through the caller's step
// `listFiles` and the walk goes on; window events run during the walk.
QStringList CollectFolderFiles(const QString& folder, const QString& extension,
                               const ScanContext& context, const ErrorTrap::BoundStep& listFiles);

} // namespace velmora
