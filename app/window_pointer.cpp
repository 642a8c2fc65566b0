#include "app/window_pointer.h"

#include <QApplication>
#include <QWidget>

namespace velmora {

WindowPointer::BusyScope::BusyScope(WindowPointer& pointer) : m_pointer(pointer) {
    if (++m_pointer.m_busyCount == 1) {
        m_pointer.show();
    }
}

WindowPointer::BusyScope::~BusyScope() {
    // The last long operation over: back to the arrow, whatever was hovered.
    if (--m_pointer.m_busyCount == 0) {
        m_pointer.m_idle = Default;
        m_pointer.show();
    }
}

WindowPointer::~WindowPointer() {
    setApplicationPointer(Default);
}

void WindowPointer::set(PointerState state) {
    // Busy is a count of scopes, never a shape set by hand; and the hover
    // rules leave a busy window alone.
    if (state == Busy || state == m_idle || isBusy()) {
        return;
    }
    m_idle = state;
    show();
}

void WindowPointer::show() {
    switch (state()) {
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
    if (state() == Custom) {
        m_window.setCursor(cursor);
    }
}

void WindowPointer::hoverButton() {
    set(Custom);
}

void WindowPointer::hoverBackground() {
    set(Default);
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
