#include "convert/work_folder_lock.h"

#include "base/path_helpers.h"
#include "convert/work_layout.h"

#include <QDir>

namespace velmora {

void RemoveAbandonedWorkFolders(const QString& tempFolder) {
    const QStringList names =
        QDir(tempFolder)
            .entryList({WorkLayout::runFolderNames()},
                       QDir::Dirs | QDir::NoSymLinks | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString folder = tempFolder + QLatin1Char('/') + name;
        if (IsAbandonedWorkFolder(folder)) {
            DeleteFolderTree(folder);
        }
    }
}

} // namespace velmora
