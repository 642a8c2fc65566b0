#include "app/desktop_services.h"

#include "app/taskbar_list_button_windows.h"
#include "app/taskbar_progress.h"

#include <QApplication>
#include <QWidget>

namespace velmora {

namespace {

// The taskbar button belongs to the main window, the top-level widget the
// layout names "Form1"; boxes are owned by it and have none of their own.
HWND mainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("Form1") && widget->isVisible()) {
            return reinterpret_cast<HWND>(widget->winId());
        }
    }
    return nullptr;
}

} // namespace

// Windows has no session bus and so no desktop notices: the run's end is
// told by its box. Its progress shows on the taskbar button.
struct DesktopServices::Connected {
    Connected() : button(mainWindow), taskbar(button) {}

    TaskbarListButton button;
    TaskbarProgress taskbar;
};

DesktopServices::DesktopServices() : m_connected(std::make_unique<Connected>()) {}

DesktopServices::~DesktopServices() = default;

DesktopHooks DesktopServices::hooks() const {
    DesktopHooks hooks;
    hooks.launcher = &m_connected->taskbar;
    return hooks;
}

} // namespace velmora
