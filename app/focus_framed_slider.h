#pragma once

#include <QSlider>

namespace velmora {

// A slider that, while it has the keyboard, draws a frame in the highlight
// colour around its whole length: plainer to see than the thin ring some
// styles put on the handle alone.
class FocusFramedSlider : public QSlider {
    Q_OBJECT
public:
    using QSlider::QSlider;

    // How wide the frame is, in the window's pixels.
    static constexpr int kFrameWidth = 2;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmora
