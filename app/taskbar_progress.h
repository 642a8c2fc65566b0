// A run's progress on the program's taskbar button on Windows.
#pragma once

#include "app/launcher_progress.h"
#include "app/taskbar_button.h"

namespace velmora {

// The dock bar's twin on Windows: while a run converts, the taskbar button
// shows how far it has come, in the normal colour, or in the error colour
// once a file has failed; when the run ends, the bar goes. Only changes
// reach the button, and a call the button refused is made again with the
// next change.
class TaskbarProgress : public LauncherProgress {
public:
    // The bar's resolution: a thousandth of the run.
    static constexpr quint64 kSteps = 1000;

    explicit TaskbarProgress(TaskbarButton& button) : m_button(button) {}
    ~TaskbarProgress() override;
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    void show(double fraction) override;
    void fileFailed() override;
    void hide() override;

private:
    void showState(TaskbarState state);

    TaskbarButton& m_button;
    // What the button was last told and took.
    TaskbarState m_shownState = TaskbarState::None;
    quint64 m_shownValue = 0;
    bool m_valueShown = false;
    bool m_failed = false;
};

} // namespace velmora
