#include "app/folder_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace velmora {

FolderOpener DesktopFolderOpener() {
    return [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
}

} // namespace velmora
