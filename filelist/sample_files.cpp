#include "filelist/sample_files.h"

#include "base/folder_listing.h"
#include "base/path_style.h"
#include "filelist/file_list.h"

#include <QFileInfo>

namespace velmora {

QString SamplesFolder(const QString& programFolder) {
    const QChar sep = separator(nativePathStyle());
    return (programFolder.endsWith(sep) ? programFolder : programFolder + sep) +
           QStringLiteral("Samples");
}

bool IsPathListed(const FileList& list, const QString& path) {
    return list.rows().contains(path, Qt::CaseSensitive);
}

int LoadSampleFiles(FileList& list, const QString& programFolder) {
    const QString folder = SamplesFolder(programFolder) + separator(nativePathStyle());
    int added = 0;
    for (const QString& name : GetFilesInFolder(folder, QStringLiteral("*.*"))) {
        const QString path = folder + name;
        if (!QFileInfo::exists(path) || IsPathListed(list, path)) {
            continue;
        }
        list.append(path);
        ++added;
    }
    return added;
}

} // namespace velmora
