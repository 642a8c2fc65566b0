// Opening a folder with the desktop's file manager, shared by the list's
// samples offer and the "Done." box.
#pragma once

#include <QString>

#include <functional>

class QObject;

namespace velmora {

class Prompter;

// Opens a folder in the desktop's file manager, and calls `failed` (at once,
// or later from the event loop) when the desktop could not. Tests put in one
// that records.
using FolderOpener =
    std::function<void(const QString& folder, const std::function<void()>& failed)>;

// The desktop's own file manager: on Linux through `opener` (xdg-open by
// default), which fails with a status of its own on a desktop without a file
// manager for folders; on Windows through the shell.
FolderOpener DesktopFolderOpener(const QString& opener = {});

// Opens the folder; when the desktop cannot, says so in a box ("Could not
// open the folder <path>."), unless `context` has gone by then.
void OpenFolderOrSayWhy(const FolderOpener& open, Prompter& prompter, QObject* context,
                        const QString& folder);

} // namespace velmora
