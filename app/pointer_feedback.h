#pragma once

// The pointer's hover feedback: the hand over a push button, the arrow over
// the window's background, frames, folder box and list.

#include <QObject>

class QWidget;

namespace velmora {

class WindowPointer;

// Watches the controls it is given (an event filter) and tells the window's
// pointer where the mouse is.
class PointerFeedback : public QObject {
    Q_OBJECT
public:
    explicit PointerFeedback(WindowPointer& pointer, QObject* parent = nullptr);

    // Follows the mouse over `widget`, a push button or a background area.
    void watch(QWidget* widget);
    // The mouse moved over the window itself.
    void overBackground();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowPointer& m_pointer;
};

} // namespace velmora
