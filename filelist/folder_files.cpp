#include "filelist/folder_files.h"

#include "base/event_pump.h"
#include "base/folder_listing.h"
#include "base/folder_reader.h"
#include "base/path_helpers.h"
#include "filelist/file_attributes.h"
#include "filelist/folder_scanner.h"
#include "filelist/walk_rules.h"

#include <QElapsedTimer>

namespace velmora {

QStringList CollectFolderFiles(const QString& folder, const QString& extension,
                               const ScanContext& context, const ErrorTrap::BoundStep& listFiles) {
    constexpr PathStyle style = nativePathStyle();
    const QChar sep = separator(style);
    QStringList folders{folder + sep};
    GetSubDirectories2016(folders, true, context);

    const QString pattern = QStringLiteral("*.") + extension;
    QStringList rows;
    // Rows are added in one go by the caller, but listing a large tree takes
    // long enough that the window must keep repainting meanwhile.
    QElapsedTimer sinceYield;
    sinceYield.start();
    const auto maybeYield = [&] {
        if (context.yieldIntervalMs <= 0 || sinceYield.hasExpired(context.yieldIntervalMs)) {
            context.events.letEventsRun();
            sinceYield.restart();
        }
    };
    for (const QString& item : folders) {
        if (context.stopRequested && context.stopRequested()) {
            break;
        }
        maybeYield();
        const QString f = item.chopped(1);
        QStringList names;
        listFiles.run([&] { names = GetFilesInFolder(f, pattern); });
        for (const QString& name : names) {
            maybeYield();
            if (name.startsWith(QLatin1Char('~'))) {
                continue;
            }
            // GetFilesInFolder only returns names that passed FileExists;
            // on Linux only a name beginning with "." can carry the hidden
            // bit that word 34 needs, so the others need no system call.
            const QString path = f + sep + name;
            if (FileWordMatters(style, name) && SkipsFile(style, path, AttributeWord(path))) {
                continue;
            }
            rows.append(FixPath(path));
        }
    }
    return rows;
}

} // namespace velmora
