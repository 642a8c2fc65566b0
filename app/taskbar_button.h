// What the window's taskbar button offers a run's progress on Windows.
#pragma once

#include <QtGlobal>

namespace velmora {

// How the taskbar button draws its bar: none, the normal colour, or the
// colour of an error (the system's TBPF_NOPROGRESS, TBPF_NORMAL, TBPF_ERROR).
enum class TaskbarState { None, Normal, Error };

// The two calls of the system's taskbar list for our window; Windows
// implements them, tests record them. Each answers whether the system took
// the call: a button that is not there yet, or a shell without taskbar,
// refuses it harmlessly.
class TaskbarButton {
public:
    virtual ~TaskbarButton() = default;

    virtual bool setProgressValue(quint64 completed, quint64 total) = 0;
    virtual bool setProgressState(TaskbarState state) = 0;
};

} // namespace velmora
