#include "app/outer_frame_tree_view.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace velmora {

namespace {

constexpr qreal kHalfPixel = 0.5;
// An edge computed as 791.99999 still ends at pixel 792.
constexpr qreal kRoundingSlack = 1e-6;

} // namespace

bool OuterFrameTreeView::event(QEvent* event) {
    const bool handled = QTreeView::event(event);
    // The view's own paint event draws only its frame; the rows are the
    // viewport's.
    if (event->type() == QEvent::Paint) {
        drawFrameOnOuterPixels();
    }
    return handled;
}

void OuterFrameTreeView::drawFrameOnOuterPixels() {
    if (frameShape() == QFrame::NoFrame || width() < 2 || height() < 2) {
        return;
    }
    QPainter painter(this);
    // From the view's pixels to those painted into: the screen's, or those of
    // a picture the view is rendered into.
    const QTransform toDevice = painter.deviceTransform();
    const qreal ratio = toDevice.m11();
    // At whole ratios the style's lines already lie on the outer pixels.
    if (ratio <= 0 || ratio == std::floor(ratio) || !toDevice.isInvertible()) {
        return;
    }
    // The middle of the last device pixel wholly inside the view, on the
    // right and at the bottom, back in the view's own pixels.
    const QPointF end = toDevice.map(QPointF(width(), height()));
    const QPointF lastPixel =
        toDevice.inverted().map(QPointF(std::floor(end.x() + kRoundingSlack) - kHalfPixel,
                                        std::floor(end.y() + kRoundingSlack) - kHalfPixel));
    // Lines drawn at width - 1 and height - 1 land there; the left and top
    // lines stay where they are.
    painter.scale(lastPixel.x() / (width() - 1.0), lastPixel.y() / (height() - 1.0));
    drawFrame(&painter);
}

} // namespace velmora
