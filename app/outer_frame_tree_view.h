#pragma once

#include <QTreeView>

namespace velmora {

// A tree view whose frame stays in sight when the window is drawn at a
// fractional scale (text at 125 % or 150 %). The style draws the right and
// bottom lines one window pixel in from the edge; at 1.25 or 1.5 that lands
// on a device pixel the rows, the header and the scroll bar paint over, so
// the list looks open on those sides and runs on into the window. Here the
// frame is drawn once more, stretched by less than one device pixel, so
// those lines fall on the view's last device pixels, which nothing covers.
class OuterFrameTreeView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

protected:
    bool event(QEvent* event) override;

private:
    void drawFrameOnOuterPixels();
};

} // namespace velmora
