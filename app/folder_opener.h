// Opening a folder with the desktop's file manager, shared by the list's
// samples offer and the "Done." box.
#pragma once

#include <QString>

#include <functional>

namespace velmora {

// Opens a folder in the desktop's file manager; tests put in one that records.
using FolderOpener = std::function<void(const QString& folder)>;

// The desktop's own file manager (through xdg-open on Linux).
FolderOpener DesktopFolderOpener();

} // namespace velmora
