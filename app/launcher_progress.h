// A run's progress on the program's icon in docks and task managers.
#pragma once

namespace velmora {

// The bar a dock or task manager draws over the program's icon; the D-Bus
// one tells the desktop, tests record.
class LauncherProgress {
public:
    virtual ~LauncherProgress() = default;

    // How far the run has come, from 0 to 1; shows the bar.
    virtual void show(double fraction) = 0;
    // The run has ended: the bar goes.
    virtual void hide() = 0;
};

} // namespace velmora
