#pragma once

#include "base/pointer_state.h"

#include <QCursor>

#include <optional>

class QWidget;

namespace velmora {

// The main window's pointer state, one value for the whole window (see
// PointerState). Also holds the application-wide busy pointer, always
// released as often as it was taken.
class WindowPointer {
public:
    using enum PointerState;

    explicit WindowPointer(QWidget& window) : m_window(window) {}
    ~WindowPointer();
    WindowPointer(const WindowPointer&) = delete;
    WindowPointer& operator=(const WindowPointer&) = delete;

    PointerState state() const { return m_state; }
    void set(PointerState state);

    // The picture of the Custom state; without one Qt's pointing hand stands in.
    void setCustomCursor(const QCursor& cursor);
    bool hasCustomCursor() const { return m_custom.has_value(); }

    // The hover rules: over a push button the hand, over the background,
    // frames, text box or list the arrow; never while the window is busy.
    void hoverButton();
    void hoverBackground();

    // The application-wide pointer: Busy shows the hourglass everywhere.
    void setApplicationPointer(PointerState state);
    bool applicationBusy() const { return m_applicationBusy; }

private:
    QWidget& m_window;
    PointerState m_state = Default;
    std::optional<QCursor> m_custom;
    bool m_applicationBusy = false;
};

} // namespace velmora
