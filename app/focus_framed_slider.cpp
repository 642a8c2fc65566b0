#include "app/focus_framed_slider.h"

#include <QPainter>
#include <QPen>

namespace velmora {

void FocusFramedSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), kFrameWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // The pen is centred on the line: half of it inside each edge.
    const qreal inset = kFrameWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

} // namespace velmora
