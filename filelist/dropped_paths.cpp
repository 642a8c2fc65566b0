#include "filelist/dropped_paths.h"

#include "filelist/file_attributes.h"
#include "filelist/folder_files.h"

namespace velmora {

bool IsDroppedFolder(const QString& path) {
    return (AttributeWord(path) & DirectoryAttribute) != 0;
}

QStringList DroppedRows(const QString& path, const ScanContext& context,
                        const ErrorTrap::BoundStep& listFiles) {
    if (!IsDroppedFolder(path)) {
        return {path};
    }
    // "*" makes the pattern "*.*": every file, with or without an extension.
    return CollectFolderFiles(path, QStringLiteral("*"), context, listFiles);
}

} // namespace velmora
