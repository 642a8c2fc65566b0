// The window's picture at the screen's scale: at larger text sizes Qt draws
// it at a fractional scale (ctest runs this also with QT_SCALE_FACTOR 1.25
// and 1.5) while every geometry stays in the window's own pixels, so only
// the picture shows what the user sees.
#include "app/window_fixture.h"

#include <QScrollBar>

using namespace velmora;

namespace {

// Darker than the white rows and the light header: the frame's grey.
constexpr int kFrameGrey = 224;

using MainWindowScale = test::WindowFixture;

TEST_F(MainWindowScale, TheListIsWholeAndItsColumnFillsIt) {
    MainWindow& form = open();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // The list's frame is drawn on its outermost window pixel on each side:
    // looked for among that pixel's device pixels, halfway along the side.
    const auto expectFourBorders = [&] {
        const QImage image = form.grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        const QRect at = list()->geometry();
        const int middleY = at.top() + list()->viewport()->geometry().center().y();
        for (const QPoint side :
             {QPoint(at.left(), middleY), QPoint(at.right(), middleY),
              QPoint(at.center().x(), at.top()), QPoint(at.center().x(), at.bottom())}) {
            const QRect device =
                QRectF(QPointF(side) * ratio, QSizeF(ratio, ratio)).toAlignedRect() & image.rect();
            bool drawn = false;
            for (int y = device.top(); y <= device.bottom(); ++y) {
                for (int x = device.left(); x <= device.right(); ++x) {
                    drawn = drawn || qGray(image.pixel(x, y)) < kFrameGrey;
                }
            }
            EXPECT_TRUE(drawn) << "no border at " << side.x() << ',' << side.y() << " x" << ratio;
        }
        EXPECT_EQ(list()->columnWidth(0), list()->viewport()->width()) << "the column fills it";
    };
    expectFourBorders();
    // With the scroll bar the rows get narrower, and the column with them, not
    // wider for long rows.
    form.fileList().append(QStringList(40, "/home/ann/" + QString(300, 'x') + ".ps"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->verticalScrollBar()->isVisible(); }));
    expectFourBorders();
    EXPECT_FALSE(list()->horizontalScrollBar()->isVisible());
}

} // namespace
