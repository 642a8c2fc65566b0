#pragma once

#include "base/pointer_state.h"

#include <QCursor>

#include <optional>

class QWidget;

namespace velmora {

// The main window's pointer state, one value for the whole window (see
// PointerState). Whether the window is busy is a count of the long
// operations under way (a run, a folder walk), each holding a BusyScope: the
// hourglass shows while the count is not zero, and list editing waits for
// it. Also holds the application-wide busy pointer, always released as often
// as it was taken.
class WindowPointer {
public:
    using enum PointerState;

    // The window is busy for as long as this lives.
    class BusyScope {
    public:
        explicit BusyScope(WindowPointer& pointer);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        WindowPointer& m_pointer;
    };

    explicit WindowPointer(QWidget& window) : m_window(window) {}
    ~WindowPointer();
    WindowPointer(const WindowPointer&) = delete;
    WindowPointer& operator=(const WindowPointer&) = delete;

    bool isBusy() const { return m_busyCount > 0; }
    // Busy while busy; otherwise what the hover rules set.
    PointerState state() const { return isBusy() ? Busy : m_idle; }
    // The pointer shown while not busy (Default or Custom); nothing while busy.
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

private:
    void show();

    QWidget& m_window;
    PointerState m_idle = Default;
    int m_busyCount = 0;
    std::optional<QCursor> m_custom;
    bool m_applicationBusy = false;
};

} // namespace velmora
