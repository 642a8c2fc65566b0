#pragma once

#include <QObject>

class QWidget;

namespace velmora {

// Styles draw the focus frame only once the keyboard has moved the focus
// (Tab), and showing a window forgets that it had. This keeps the frame on
// from the moment `window` is shown, so the user sees where the keyboard
// starts without pressing Tab first. It belongs to the window.
class FocusFrameShown : public QObject {
    Q_OBJECT
public:
    explicit FocusFrameShown(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace velmora
