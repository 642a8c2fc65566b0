#include "filelist/folder_files.h"

#include "convert/path_helpers.h"
#include "filelist/file_attributes.h"
#include "filelist/folder_scanner.h"

namespace velmora {

QStringList CollectFolderFiles(const QString& folder, const QString& extension,
                               const ScanContext& context) {
    const QChar sep = separator(nativePathStyle());
    QStringList folders{folder + sep};
    GetSubDirectories2016(folders, true, context);

    const QString pattern = QStringLiteral("*.") + extension;
    QStringList rows;
    for (const QString& item : folders) {
        if (context.stopRequested && context.stopRequested()) {
            break;
        }
        const QString f = item.chopped(1);
        const QStringList names = GetFilesInFolder(f, pattern);
        for (const QString& name : names) {
            if (name.startsWith(QLatin1Char('~'))) {
                continue;
            }
            // GetFilesInFolder only returns names that passed FileExists, and
            // only a name beginning with "." can carry the hidden bit that
            // word 34 needs: the other names need no further system call.
            const QString path = f + sep + name;
            if (name.startsWith(QLatin1Char('.')) &&
                AttributeWord(path) == (ArchiveAttribute | HiddenAttribute)) {
                continue;
            }
            rows.append(FixPath(path));
        }
    }
    return rows;
}

} // namespace velmora
