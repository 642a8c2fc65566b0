#include "app/window_pointer.h"

#include <QApplication>
#include <QWidget>

namespace velmora {

WindowPointer::~WindowPointer() {
    setApplicationPointer(Default);
}

void WindowPointer::set(PointerState state) {
    if (state == m_state) {
        return;
    }
    m_state = state;
    switch (state) {
    case Busy:
        m_window.setCursor(Qt::WaitCursor);
        break;
    case Custom:
        m_window.setCursor(m_custom.value_or(QCursor(Qt::PointingHandCursor)));
        break;
    case Default:
        m_window.unsetCursor();
        break;
    }
}

void WindowPointer::setCustomCursor(const QCursor& cursor) {
    m_custom = cursor;
    if (m_state == Custom) {
        m_window.setCursor(cursor);
    }
}

void WindowPointer::hoverButton() {
    if (m_state != Busy) {
        set(Custom);
    }
}

void WindowPointer::hoverBackground() {
    if (m_state != Busy) {
        set(Default);
    }
}

void WindowPointer::setApplicationPointer(PointerState state) {
    const bool busy = state == Busy;
    if (busy == m_applicationBusy || QApplication::instance() == nullptr) {
        return;
    }
    m_applicationBusy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

} // namespace velmora
