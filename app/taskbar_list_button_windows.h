// Windows only: the taskbar button of a window, through the shell's
// ITaskbarList3.
#pragma once

#include "app/taskbar_button.h"
#include "base/unique_handle_windows.h"

#include <functional>
#include <memory>

struct ITaskbarList3;

namespace velmora {

// Made the first time it is called, on the thread of the window: the shell's
// taskbar list needs COM there, and the window must have its taskbar button
// by then. `window` answers which window's button; null refuses the call.
class TaskbarListButton : public TaskbarButton {
public:
    explicit TaskbarListButton(std::function<HWND()> window);
    ~TaskbarListButton() override;
    TaskbarListButton(const TaskbarListButton&) = delete;
    TaskbarListButton& operator=(const TaskbarListButton&) = delete;

    bool setProgressValue(quint64 completed, quint64 total) override;
    bool setProgressState(TaskbarState state) override;

private:
    struct Releaser {
        void operator()(ITaskbarList3* list) const;
    };
    ITaskbarList3* taskbar();

    std::function<HWND()> m_window;
    bool m_comStarted = false;
    bool m_tried = false;
    std::unique_ptr<ITaskbarList3, Releaser> m_taskbar;
};

} // namespace velmora
