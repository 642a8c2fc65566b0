#pragma once

#include "app/taskbar_button.h"

#include <QStringList>

namespace velmora::test {

// A taskbar button that writes down each call it takes ("Normal", "500/1000",
// "Error", "None") and, while `refusing`, refuses them unrecorded, as a shell
// without a button for the window does.
struct RecordingTaskbarButton : TaskbarButton {
    bool setProgressValue(quint64 completed, quint64 total) override {
        return take(QStringLiteral("%1/%2").arg(completed).arg(total));
    }
    bool setProgressState(TaskbarState state) override {
        using enum TaskbarState;
        return take(state == Normal ? "Normal" : state == Error ? "Error" : "None");
    }
    bool take(const QString& call) {
        if (!refusing) {
            calls.append(call);
        }
        return !refusing;
    }

    QStringList calls;
    bool refusing = false;
};

} // namespace velmora::test
