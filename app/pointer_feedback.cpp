#include "app/pointer_feedback.h"

#include "app/window_pointer.h"

#include <QEvent>
#include <QPushButton>

namespace velmora {

PointerFeedback::PointerFeedback(WindowPointer& pointer, QObject* parent)
    : QObject(parent), m_pointer(pointer) {}

void PointerFeedback::watch(QWidget* widget) {
    widget->setMouseTracking(true);
    // The move is this widget's alone: it must not also reach the frame or
    // window behind it and undo what was done for it.
    widget->setAttribute(Qt::WA_NoMousePropagation);
    widget->installEventFilter(this);
}

void PointerFeedback::overBackground() {
    m_pointer.hoverBackground();
}

bool PointerFeedback::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        // A disabled button (the "..." while pages go beside their sources)
        // cannot be pressed, so it gets the arrow like the frame around it.
        const auto* button = qobject_cast<QPushButton*>(watched);
        if (button != nullptr && button->isEnabled()) {
            m_pointer.hoverButton();
        } else {
            m_pointer.hoverBackground();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace velmora
