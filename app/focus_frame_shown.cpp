#include "app/focus_frame_shown.h"

#include <QEvent>
#include <QWidget>

namespace velmora {

FocusFrameShown::FocusFrameShown(QWidget& window) : QObject(&window) {
    window.installEventFilter(this);
}

bool FocusFrameShown::eventFilter(QObject* watched, QEvent* event) {
    // Showing clears the mark just before the window hears of it.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        static_cast<QWidget*>(watched)->setAttribute(Qt::WA_KeyboardFocusChange);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velmora
