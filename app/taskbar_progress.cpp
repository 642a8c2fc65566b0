#include "app/taskbar_progress.h"

#include <algorithm>
#include <cmath>

namespace velmora {

TaskbarProgress::~TaskbarProgress() {
    hide();
}

void TaskbarProgress::show(double fraction) {
    showState(m_failed ? TaskbarState::Error : TaskbarState::Normal);
    const double bounded = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    const auto value = static_cast<quint64>(std::llround(bounded * kSteps));
    if (m_valueShown && value == m_shownValue) {
        return;
    }
    if (m_button.setProgressValue(value, kSteps)) {
        m_shownValue = value;
        m_valueShown = true;
    }
}

void TaskbarProgress::fileFailed() {
    m_failed = true;
    if (m_shownState != TaskbarState::None) {
        showState(TaskbarState::Error);
    }
}

void TaskbarProgress::hide() {
    m_failed = false;
    m_valueShown = false;
    showState(TaskbarState::None);
}

void TaskbarProgress::showState(TaskbarState state) {
    if (state != m_shownState && m_button.setProgressState(state)) {
        m_shownState = state;
    }
}

} // namespace velmora
