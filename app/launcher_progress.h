// A run's progress on the program's icon in docks and task managers.
#pragma once

namespace velmora {

// The bar a dock, task manager or taskbar draws over the program's icon; the
// D-Bus one tells Linux desktops, the taskbar one Windows, tests record.
class LauncherProgress {
public:
    virtual ~LauncherProgress() = default;

    // How far the run has come, from 0 to 1; shows the bar.
    virtual void show(double fraction) = 0;
    // A file of the run has failed: a bar that can say so (Windows' taskbar
    // turns red) does, until the run ends; docks have no such colour.
    virtual void fileFailed() {}
    // The run has ended: the bar goes.
    virtual void hide() = 0;
};

} // namespace velmora
