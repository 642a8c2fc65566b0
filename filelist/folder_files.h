#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

struct ScanContext;

// Every file below folder (itself included) whose name matches "*." +
// extension ("*" matches every file), folder by folder, level after level,
// as rows for the file list: names beginning with "~" and files whose
// attribute word is exactly 34 (archive + hidden) are left out.
QStringList CollectFolderFiles(const QString& folder, const QString& extension,
                               const ScanContext& context);

} // namespace velmora
