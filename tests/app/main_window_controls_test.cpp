// The window's controls as the user meets them: where they sit, what they
// store, the pointer over them, the progress bar, the list's long rows, and
// what a screen reader and the keyboard alone find.
#include "app/text_progress_bar.h"
#include "app/window_fixture.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPaintEngine>
#include <QSlider>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

#include <cmath>

using namespace velmora;

namespace {

using MainWindowControls = test::WindowFixture;

// Every control lies inside its frame and the window and covers no other,
// every caption fits whole in the window's font, and Tab goes through the
// controls in the designed order.
TEST_F(MainWindowControls, ControlsSitApartWithTheirCaptionsWholeInTabOrder) {
    MainWindow& form = open();
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the user cannot resize it";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    QList<QWidget*> controls; // all the user sees and uses but the frames
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        const QWidget* parent = widget->parentWidget();
        if ((parent == &form || qobject_cast<const QGroupBox*>(parent) != nullptr) &&
            qobject_cast<QGroupBox*>(widget) == nullptr) {
            controls.append(widget);
        }
    }
    ASSERT_EQ(controls.size(), 14);
    for (QWidget* widget : controls) {
        SCOPED_TRACE(qPrintable(widget->objectName()));
        for (QWidget* inner = widget; inner != &form; inner = inner->parentWidget()) {
            EXPECT_TRUE(inner->parentWidget()->rect().contains(inner->geometry()))
                << qPrintable(inner->objectName()) << " sticks out";
        }
        const QRect at(widget->mapTo(&form, QPoint()), widget->size());
        for (QWidget* other : controls.mid(controls.indexOf(widget) + 1)) {
            EXPECT_FALSE(at.intersects(QRect(other->mapTo(&form, QPoint()), other->size())))
                << "covers " << qPrintable(other->objectName());
        }
        const auto* button = qobject_cast<QAbstractButton*>(widget);
        const auto* label = qobject_cast<QLabel*>(widget);
        if (button != nullptr || label != nullptr) {
            const QString family = QFontInfo(widget->font()).family();
            EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << qPrintable(family);
            EXPECT_TRUE(widget->font().bold());
            const int mark =
                qobject_cast<QRadioButton*>(widget) == nullptr
                    ? 0
                    : widget->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          widget->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
            EXPECT_LE(
                widget->fontMetrics().horizontalAdvance(button ? button->text() : label->text()),
                widget->width() - mark)
                << "is cut off";
        }
    }
    const QStringList designed = {"ListView1",   "PushButton1",  "PushButton4", "PushButton2",
                                  "PushButton9", "PushButton10", "Slider1",     "Text1",
                                  "PushButton7", "Option1",      "Option2"};
    QStringList order;
    for (QWidget* stop = list(); order.size() < designed.size();) {
        order.append(stop->objectName());
        do { // frames and labels take no focus, nor do the list's own parts
            stop = stop->nextInFocusChain();
        } while (stop != &form && (stop->focusPolicy() == Qt::NoFocus ||
                                   stop->parentWidget()->objectName() == "ListView1"));
    }
    EXPECT_EQ(order, designed);
}

// Each choice reaches the settings file at once, so an abrupt end loses
// nothing, and the window follows it.
TEST_F(MainWindowControls, EachChoiceIsStoredAtOnceAndTheWindowFollowsIt) {
    shown();
    control<QLineEdit>("Text1")->setText("/");
    const struct {
        const char* control;
        Qt::Key key;        // Key_unknown: a click
        const char* picks;  // what the folder picker of "..." gives; "~": the test's folder
        const char* stored; // "key=value,..."; a key alone: nothing stored
        const char* shows;  // the option, the folder row, the quality, the folder box
        const char* reason;
    } steps[] = {
        {"Option2", Qt::Key_unknown, "", "Option1=False,Option2=True",
         "beside|off|JPG Quality = 75|/", "the second option stores both, greys the row out"},
        {"Option1", Qt::Key_unknown, "", "Option1=True,Option2=False", "into|on|JPG Quality = 75|/",
         "the first brings the row back"},
        {"Text1", Qt::Key_Backspace, "", "Output Folder=", "into|on|JPG Quality = 75|",
         "an emptied box is stored"},
        {"Text1", Qt::Key_Slash, "", "Output Folder=/", "into|on|JPG Quality = 75|/",
         "every keystroke is stored"},
        {"Text1", Qt::Key_O, "", "Output Folder=/o", "into|on|JPG Quality = 75|/o", "the next"},
        {"Slider1", Qt::Key_Right, "", "JPGQuality=76", "into|on|JPG Quality = 76|/o", "a step"},
        {"Slider1", Qt::Key_End, "", "JPGQuality=100", "into|on|JPG Quality = 100|/o", "its end"},
        {"Slider1", Qt::Key_Home, "", "JPGQuality=0", "into|on|JPG Quality = 0|/o", "its start"},
        {"PushButton7", Qt::Key_unknown, "", "Output Folder=/o,LastFolderDot",
         "into|on|JPG Quality = 0|/o", "the folder picker cancelled: nothing changes"},
        {"PushButton7", Qt::Key_unknown, "~", "Output Folder=~/,LastFolderDot=~",
         "into|on|JPG Quality = 0|~/", "a folder gets a closing separator in the box"},
        {"PushButton7", Qt::Key_unknown, "/", "Output Folder=/,LastFolderDot=/",
         "into|on|JPG Quality = 0|/", "the root no second one; it opened at the last pick"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.reason);
        QWidget* target = control(step.control);
        const QString lastPick = QString(stored("LastFolderDot")).section('=', 1);
        prompter.folderAnswers = {QString(step.picks).replace('~', tree.path())};
        if (step.key == Qt::Key_unknown) {
            QTest::mouseClick(target, Qt::LeftButton);
        } else {
            target->setFocus();
            QTest::keyClick(target, step.key);
        }
        const QString expected = QString(step.stored).replace('~', tree.path());
        EXPECT_EQ(stored(expected), expected);
        EXPECT_EQ(shows().section('|', 0, 3), QString(step.shows).replace('~', tree.path()));
        if (QLatin1String(step.control) == "PushButton7") {
            const test::RecordingPrompter::Box box =
                prompter.boxes.value(prompter.boxes.size() - 1);
            EXPECT_EQ(box.kind + '|' + box.title + '|' + box.preset,
                      "pickFolder|Please select folder:|" + lastPick);
        }
    }
    EXPECT_EQ(prompter.messageTexts(), QStringList{});
}

TEST_F(MainWindowControls, ThePointerShowsWhatCanBePressed) {
    MainWindow& form = shown();
    using enum PointerState;
    const struct {
        PointerState before;
        const char* over;
        PointerState after;
        const char* reason;
        std::optional<QPoint> spot = std::nullopt; // a bare spot of a frame or the window
    } rows[] = {
        {Default, "PushButton2", Custom, "the hand over a push button"},
        {Default, "PushButton7", Custom, "also the small one in the folder row"},
        {Custom, "Form1", Default, "the arrow over the window's background", QPoint(268, 180)},
        {Custom, "Frame1", Default, "the arrow over a frame", QPoint(500, 110)},
        {Custom, "Text1", Default, "the arrow over the folder box"},
        {Custom, "ListView1", Default, "the arrow over the list"},
        {Custom, "Slider1", Custom, "the slider has no pointer of its own"},
        {Custom, "Option2", Custom, "nor the option buttons"},
        {Custom, "ProgressBar1", Custom, "nor the progress bar"},
        {Busy, "PushButton1", Busy, "busy: the hourglass stays over a button"},
        {Busy, "Frame4", Busy, "and over a frame", QPoint(5, 45)},
        {Busy, "ListView1", Busy, "and over the list"},
    };
    const auto hover = [&](const char* name, std::optional<QPoint> spot = std::nullopt) {
        QWidget* widget = QLatin1String(name) == "Form1" ? &form : control(name);
        QTest::mouseMove(widget, spot.value_or(widget->rect().center()));
        QApplication::processEvents();
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        hover("ProgressBar1"); // a neutral place to start from
        std::optional<WindowPointer::BusyScope> busy;
        if (row.before == Busy) {
            busy.emplace(form.pointer());
            EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
        } else {
            form.pointer().set(row.before);
        }
        hover(row.over, row.spot);
        EXPECT_EQ(form.windowPointer(), row.after);
    }
    // While pages go beside their sources "..." cannot be pressed: no hand.
    control<QRadioButton>("Option2")->click();
    form.pointer().set(Custom);
    hover("PushButton7");
    EXPECT_EQ(form.windowPointer(), Default);
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);

    // The application's hourglass is taken once and released once, also
    // when the window goes while it shows.
    form.pointer().setApplicationPointer(Busy);
    form.pointer().setApplicationPointer(Busy);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    form.pointer().setApplicationPointer(Default);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form.pointer().setApplicationPointer(Busy);
    close();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowControls, TheProgressBarShowsFileNamesAsTheyAre) {
    auto* bar = open().findChild<TextProgressBar*>("ProgressBar1");
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(bar);
    const QString shown = "Processing: 100%p %v done.ps (Esc to stop)";
    const struct {
        double percent;
        QString source;
        int value;
    } reports[] = {{100.0 / 3, "/in/100%p %v done.ps", 33}, {250, {}, 100}, {std::nan(""), {}, 0}};
    for (const auto& report : reports) { // a name is no format; at most full; no file: kept
        window->runControl().progressed({report.percent, report.source});
        EXPECT_EQ(bar->text() + '|' + spoken->text(QAccessible::Description), shown + '|' + shown);
        EXPECT_EQ(bar->value(), report.value);
        EXPECT_EQ(spoken->valueInterface()->currentValue().toInt(), report.value);
    }
}

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

// Rows from one deep folder lose the middle of their paths, so they stay
// apart; the tooltip and the run have the whole path; a hundred thousand
// rows do not widen the column past the list.
TEST_F(MainWindowControls, LongRowsShowTheirEndsAndTheListHoldsAHundredThousand) {
    MainWindow& form = shown();
    QWidget* rows = list()->viewport();
    const QString deep = "/tmp/velmora-build-3f9c2a7d/worktrees/issue-twelve/RelWithDebInfo/"
                         "build/Samples/";
    const QStringList paths = {deep + "brochure.ps", deep + "colours.ps", deep + "drawing.eps",
                               "/home/ann/a.ps"};
    form.fileList().append(paths);
    form.fileList().append(QStringList(100000, "/home/ann/scans/page.ps"));
    QApplication::processEvents();
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
    list()->scrollToBottom();
    list()->repaint();
    EXPECT_EQ(list()->columnWidth(0), rows->width());
    form.fileList().clear(); // below the rows the list's own hint shows
    EXPECT_EQ(toolTipAt({10, rows->height() - 3}),
              "Drag and drop files here. Double-click item to remove it. Move | line to right "
              "and out of window to reveal full names.");
}

TEST_F(MainWindowControls, EveryControlHasANameAndARole) {
    open();
    using enum QAccessible::Role;
    const struct {
        const char* control;
        const char* name;
        QAccessible::Role role;
        const char* reason;
    } rows[] = {
        {"ListView1", "PS File(s)", Tree, "the list, named by its column"},
        {"PushButton1", "Add PS File(s)", PushButton, "buttons by their captions"},
        {"PushButton4", "Add All PS File(s) In Folder", PushButton, "the second list button"},
        {"PushButton9", "Clear List", PushButton, "the third"},
        {"PushButton10", "Load Sample/Example Files", PushButton, "the fourth"},
        {"PushButton2", "Start Converting To JPG", PushButton, "the start button"},
        {"Frame1", "Save Option", Grouping, "frames by their titles"},
        {"Option1", "Save results to this folder:", RadioButton, "options by their captions"},
        {"Option2", "Save results in folder of original file", RadioButton, "the other"},
        {"Text1", "Save results to this folder:", EditableText,
         "the folder box by the option it belongs to, not by its contents"},
        {"PushButton7", "Browse for the output folder", PushButton, "not \"dot dot dot\""},
        {"Frame3", "JPG Quality = 75", Grouping, "the quality frame says the quality"},
        {"Label2", "Min.", StaticText, "the slider's ends"},
        {"Slider1", "JPG Quality", Slider, "the slider by what it sets"},
        {"Label3", "Max.", StaticText, "and its other end"},
        {"ProgressBar1", "Progress", ProgressBar, "the bar by what it shows"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control(row.control));
        ASSERT_NE(face, nullptr) << row.control;
        EXPECT_EQ(face->text(QAccessible::Name), row.name);
        EXPECT_EQ(face->role(), row.role);
    }
}

TEST_F(MainWindowControls, EnterAndReturnPressTheFocusedButton) {
    shown();
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        SCOPED_TRACE(qPrintable(button->objectName()));
        QSignalSpy pressed(button, &QPushButton::clicked);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            button->setFocus(Qt::TabFocusReason);
            QTest::keyClick(button, key);
        }
        EXPECT_EQ(pressed.size(), 2);
    }
}

TEST_F(MainWindowControls, TheKeyboardStartsOnTheFirstButtonAndShowsWhereItIs) {
    shown();
    auto* first = control<QPushButton>("PushButton1");
    EXPECT_EQ(QApplication::focusWidget(), first) << "not the empty list";
    QStyleOption drawn;
    drawn.initFrom(first);
    EXPECT_TRUE(drawn.state & QStyle::State_HasFocus);
    EXPECT_TRUE(drawn.state & QStyle::State_KeyboardFocusChange)
        << "the style draws the focus frame before any Tab";

    // The slider: a frame in the highlight colour along its whole edge while
    // it has the keyboard, none without.
    auto* slider = control<QSlider>("Slider1");
    const QColor highlight = slider->palette().color(QPalette::Highlight);
    const auto edgeIsHighlighted = [&] {
        const QImage picture = slider->grab().toImage();
        const int middle = picture.height() / 2;
        return picture.pixelColor(0, middle) == highlight &&
               picture.pixelColor(picture.width() - 1, middle) == highlight &&
               picture.pixelColor(picture.width() / 2, 0) == highlight;
    };
    EXPECT_FALSE(edgeIsHighlighted());
    slider->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(edgeIsHighlighted());
}

} // namespace
