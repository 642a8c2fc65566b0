// The window's picture at larger text sizes: Qt draws it at a fractional
// scale (1.25 at 120 dpi, 1.5 at 144 dpi) while every geometry stays in the
// window's own pixels, so only the picture shows what the user sees. This
// program also runs with QT_SCALE_FACTOR set, where QWidget::grab itself
// takes the fractional pictures.
#include "app/window_fixture.h"

#include <QPixmap>
#include <QScrollBar>
#include <QTreeView>

using namespace velmora;
using velmora::test::WindowFixture;

namespace {

// Darker than the white rows and the light header: the frame's grey.
constexpr int kFrameGrey = 224;

struct ScaleRow {
    qreal ratio;
    const char* reason;
};

void PrintTo(const ScaleRow& row, std::ostream* out) {
    *out << row.reason;
}

class MainWindowScale : public WindowFixture, public ::testing::WithParamInterface<ScaleRow> {
protected:
    // QWidget::grab where the screen has `ratio`, else what grab does, at it.
    static QImage picture(QWidget& window, qreal ratio) {
        if (qFuzzyCompare(window.devicePixelRatioF(), ratio)) {
            return window.grab().toImage();
        }
        QPixmap pixmap((QSizeF(window.size()) * ratio).toSize());
        pixmap.setDevicePixelRatio(ratio);
        window.render(&pixmap);
        return pixmap.toImage();
    }

    // Each border is looked for among the device pixels of the list's
    // outermost window pixel on its side, halfway along it.
    static void expectFourBorders(QWidget& window, const QTreeView& list, qreal ratio) {
        const QImage image = picture(window, ratio);
        const QRect at = list.geometry();
        const int middleY = at.top() + list.viewport()->geometry().center().y();
        const struct {
            QPoint pixel;
            const char* side;
        } sides[] = {{{at.left(), middleY}, "left"},
                     {{at.right(), middleY}, "right"},
                     {{at.center().x(), at.top()}, "top"},
                     {{at.center().x(), at.bottom()}, "bottom"}};
        for (const auto& side : sides) {
            const QRect devicePixels =
                QRectF(QPointF(side.pixel) * ratio, QSizeF(ratio, ratio)).toAlignedRect() &
                image.rect();
            bool drawn = false;
            for (int y = devicePixels.top(); y <= devicePixels.bottom(); ++y) {
                for (int x = devicePixels.left(); x <= devicePixels.right(); ++x) {
                    drawn = drawn || qGray(image.pixel(x, y)) < kFrameGrey;
                }
            }
            EXPECT_TRUE(drawn) << "no border on the " << side.side;
        }
    }
};

TEST_P(MainWindowScale, TheListIsWholeAndItsColumnFillsIt) {
    const qreal ratio = GetParam().ratio;
    MainWindow& form = open();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* list = control<QTreeView>("ListView1");
    expectFourBorders(form, *list, ratio);
    EXPECT_EQ(list->columnWidth(0), list->viewport()->width()) << "the column fills the list";

    // With the scroll bar the rows get narrower, and the column with them.
    for (int i = 0; i < 40; ++i) {
        form.fileList().append(QStringLiteral("/home/ann/%1.ps").arg(i));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->verticalScrollBar()->isVisible(); }));
    expectFourBorders(form, *list, ratio);
    EXPECT_EQ(list->columnWidth(0), list->viewport()->width()) << "it follows the list";
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Ratios, MainWindowScale,
                         ::testing::Values(ScaleRow{1.0, "text at 100 %"},
                                           ScaleRow{1.25, "120 dpi: 125 %"},
                                           ScaleRow{1.5, "144 dpi: 150 %"}));

} // namespace
