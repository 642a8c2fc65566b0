#pragma once

#include <QCursor>

#include <optional>

class QWidget;

namespace velmora {

// The main window's pointer state, one value for the whole window: 0 the
// arrow, 11 busy (hourglass), 99 the hand over the buttons. Also holds the
// application-wide busy pointer, always released as often as it was taken.
class WindowPointer {
public:
    static constexpr int Default = 0;
    static constexpr int Busy = 11;
    static constexpr int Custom = 99;

    explicit WindowPointer(QWidget& window) : m_window(window) {}
    ~WindowPointer();
    WindowPointer(const WindowPointer&) = delete;
    WindowPointer& operator=(const WindowPointer&) = delete;

    int state() const { return m_state; }
    void set(int state);

    // The picture of state 99; without one Qt's pointing hand stands in.
    void setCustomCursor(const QCursor& cursor);
    bool hasCustomCursor() const { return m_custom.has_value(); }

    // The hover rules: over a push button the hand, over the background,
    // frames, text box or list the arrow; never while the window is busy.
    void hoverButton();
    void hoverBackground();

    // The application-wide pointer: Busy shows the hourglass everywhere.
    void setApplicationPointer(int state);
    bool applicationBusy() const { return m_applicationBusy; }

private:
    QWidget& m_window;
    int m_state = Default;
    std::optional<QCursor> m_custom;
    bool m_applicationBusy = false;
};

} // namespace velmora
