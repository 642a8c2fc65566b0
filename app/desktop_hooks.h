// What the window uses of the desktop beyond its own widgets.
#pragma once

#include "app/folder_opener.h"
#include "app/run_end_notice.h"

#include <functional>

namespace velmora {

class DesktopNotifier;
class LauncherProgress;

// The desktop's services the window is given: notices, the dock's progress
// bar and the file manager, with the clock and the window's state they are
// judged by. The program passes the D-Bus ones; tests pass recorders, a
// clock of their own and whether the window counts as active. The services
// are not owned and must outlive the window; a null one is left out.
struct DesktopHooks {
    DesktopNotifier* notifier = nullptr;
    LauncherProgress* launcher = nullptr;
    FolderOpener openFolder = DesktopFolderOpener();
    RunEndNotice::Clock clock = [] { return std::chrono::steady_clock::now(); };
    // Whether the user is at the window; left empty, the window answers.
    std::function<bool()> windowActive;
    // What clicking a notice does; left empty, the window comes to the front.
    std::function<void()> bringToFront;
};

} // namespace velmora
