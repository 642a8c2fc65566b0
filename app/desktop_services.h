// The services of the desktop the program runs on, for the window's lifetime.
#pragma once

#include "app/desktop_hooks.h"

#include <memory>

namespace velmora {

// Connects to what this desktop offers a converter: on Linux the session
// bus's notices and the dock's progress bar; on Windows the taskbar button's
// bar (no notices: a run ends with its box alone). Must outlive the window
// it gives hooks to.
class DesktopServices {
public:
    DesktopServices();
    ~DesktopServices();

    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

    // Hooks with this desktop's services; null where it has none.
    DesktopHooks hooks() const;

private:
    struct Connected;
    std::unique_ptr<Connected> m_connected;
};

} // namespace velmora
