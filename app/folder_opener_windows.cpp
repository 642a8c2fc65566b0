#include "app/folder_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace velmora {

FolderOpener DesktopFolderOpener(const QString& /*opener*/) {
    // The shell answers at once whether it could open the folder.
    return [](const QString& folder, const std::function<void()>& failed) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)) && failed) {
            failed();
        }
    };
}

} // namespace velmora
