// The window's picture at larger text sizes: Qt draws it at a fractional
// scale (1.25 at 120 dpi, 1.5 at 144 dpi) while every geometry stays in the
// window's own pixels, so only the picture shows what the user sees. This
// program also runs with QT_SCALE_FACTOR set, where QWidget::grab itself
// takes the fractional pictures.
#include "app/window_fixture.h"

#include <QPixmap>
#include <QScrollBar>

using namespace velmora;

namespace {

// Darker than the white rows and the light header: the frame's grey.
constexpr int kFrameGrey = 224;

class MainWindowScale : public test::WindowFixture, public ::testing::WithParamInterface<qreal> {
protected:
    // The list's frame is drawn on its outermost window pixel on each side:
    // looked for among that pixel's device pixels, halfway along the side.
    void expectFourBorders(QWidget& form, qreal ratio) const {
        QImage image;
        if (qFuzzyCompare(form.devicePixelRatioF(), ratio)) {
            image = form.grab().toImage();
        } else { // what grab does on a screen of that ratio
            QPixmap pixmap((QSizeF(form.size()) * ratio).toSize());
            pixmap.setDevicePixelRatio(ratio);
            form.render(&pixmap);
            image = pixmap.toImage();
        }
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
            EXPECT_TRUE(drawn) << "no border at " << side.x() << ',' << side.y();
        }
    }
};

TEST_P(MainWindowScale, TheListIsWholeAndItsColumnFillsIt) {
    MainWindow& form = open();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    expectFourBorders(form, GetParam());
    EXPECT_EQ(list()->columnWidth(0), list()->viewport()->width()) << "the column fills the list";

    // With the scroll bar the rows get narrower, and the column with them.
    for (int i = 0; i < 40; ++i) {
        form.fileList().append(QStringLiteral("/home/ann/%1.ps").arg(i));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->verticalScrollBar()->isVisible(); }));
    expectFourBorders(form, GetParam());
    EXPECT_EQ(list()->columnWidth(0), list()->viewport()->width()) << "it follows the list";
    EXPECT_FALSE(list()->horizontalScrollBar()->isVisible());
}

// Text at 100 %, at 125 % (120 dpi) and at 150 % (144 dpi).
INSTANTIATE_TEST_SUITE_P(Ratios, MainWindowScale, ::testing::Values(1.0, 1.25, 1.5));

} // namespace
