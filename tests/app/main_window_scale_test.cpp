// The list as the user reads it at the screen's scale: at larger text sizes
// Qt draws the window at a fractional scale (ctest runs this also with
// QT_SCALE_FACTOR 1.25 and 1.5) while every geometry stays in the window's
// own pixels, so only the picture shows what the user sees.
#include "app/window_fixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QPaintEngine>
#include <QScrollBar>
#include <QToolTip>

using namespace velmora;

namespace {

// Darker than the white rows and the light header: the frame's grey.
constexpr int kFrameGrey = 224;

// A picture that keeps the texts painted on it: what the user reads.
class PaintedTexts final : public QImage, QPaintEngine {
public:
    explicit PaintedTexts(QSize size) : QImage(size, Format_ARGB32), QPaintEngine(AllFeatures) {}
    QPaintEngine* paintEngine() const override { return const_cast<PaintedTexts*>(this); }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override { texts.append(item.text()); }
    Type type() const override { return User; }
    QStringList texts;
};

using MainWindowScale = test::WindowFixture;

TEST_F(MainWindowScale, TheListIsWholeItsColumnFillsItAndLongRowsShowTheirEnds) {
    MainWindow& form = shown();
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
    // wider for long rows. Rows from one deep folder lose the middle of their
    // paths, so they stay apart; tooltips hold them whole.
    const QString deep = "/tmp/velmora-build-3f9c2a7d/worktrees/issue-twelve/RelWithDebInfo/"
                         "build/Samples/";
    const QStringList paths = {deep + "brochure.ps", deep + "colours.ps", deep + "drawing.eps",
                               "/home/ann/a.ps"};
    form.fileList().append(paths);
    form.fileList().append(QStringList(100000, "/home/ann/scans/page.ps"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->verticalScrollBar()->isVisible(); }));
    expectFourBorders();
    EXPECT_FALSE(list()->horizontalScrollBar()->isVisible());
    QWidget* rows = list()->viewport();
    PaintedTexts painted(rows->size());
    rows->render(&painted);
    const auto toolTipAt = [&](QPoint at) {
        QHelpEvent tip(QEvent::ToolTip, at, rows->mapToGlobal(at));
        QApplication::sendEvent(rows, &tip);
        return QToolTip::text();
    };
    for (int i = 0; i < paths.size(); ++i) {
        const QString shown = painted.texts.value(i);
        SCOPED_TRACE(qPrintable(shown));
        EXPECT_EQ(shown != paths[i], paths[i].startsWith(deep)) << "only long paths are cut";
        EXPECT_TRUE(shown.endsWith(QFileInfo(paths[i]).fileName()));
        EXPECT_TRUE(shown.startsWith(paths[i].left(paths[i].indexOf('/', 1))));
        EXPECT_EQ(painted.texts.count(shown), 1) << "no two rows read the same";
        EXPECT_EQ(toolTipAt(list()->visualRect(form.fileList().index(i)).center()), paths[i]);
    }
    form.fileList().clear(); // below the rows the list's own hint shows
    EXPECT_EQ(toolTipAt({10, rows->height() - 3}),
              "Drag and drop files here. Double-click item to remove it. Move | line to right "
              "and out of window to reveal full names.");
}

} // namespace
