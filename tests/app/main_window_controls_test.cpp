// The window's controls as the user meets them; the list's rows are the scale test's.
#include "app/window_fixture.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QFontInfo>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QStyleOption>

#include <cmath>

using namespace velmora;

namespace {

using MainWindowControls = test::WindowFixture;

// Controls inside their frames, apart, with whole captions, in the designed tab order.
TEST_F(MainWindowControls, ControlsSitApartWithTheirCaptionsWholeInTabOrder) {
    MainWindow& form = shown();
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the user cannot resize it";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_LE((form.geometry().center() - screen.center()).manhattanLength(), form.height() / 8)
        << "opens in the middle of the screen";
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
        if (widget->inherits("QAbstractButton") || widget->inherits("QLabel")) {
            const QString family = QFontInfo(widget->font()).family();
            EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << qPrintable(family);
            EXPECT_TRUE(widget->font().bold());
            const QStyle* style = widget->style();
            const int mark = widget->inherits("QRadioButton")
                                 ? style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                                       style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing)
                                 : 0;
            EXPECT_LE(widget->fontMetrics().horizontalAdvance(widget->property("text").toString()),
                      widget->width() - mark)
                << "is cut off";
        }
    }
    QStyleOption drawn;
    drawn.initFrom(QApplication::focusWidget());
    EXPECT_TRUE(drawn.state & QStyle::State_KeyboardFocusChange)
        << "the style draws the focus frame before any Tab";
    QStringList order; // from where the keyboard starts, not the empty list
    for (QWidget* stop = QApplication::focusWidget(); !order.contains(stop->objectName());) {
        order.append(stop->objectName());
        do { // frames and labels take no focus, nor do the list's own parts
            stop = stop->nextInFocusChain();
        } while (stop->focusPolicy() == Qt::NoFocus ||
                 stop->parentWidget()->objectName() == "ListView1");
    }
    EXPECT_EQ(order.join(','), "PushButton1,PushButton4,PushButton2,PushButton9,PushButton10,"
                               "Slider1,Text1,PushButton7,Option1,Option2,ListView1");

    // The slider has a frame in the highlight colour while it has the keyboard.
    auto* slider = control<QSlider>("Slider1");
    const auto edgeIsHighlighted = [&] {
        const QImage picture = slider->grab().toImage();
        const QColor highlight = slider->palette().color(QPalette::Highlight);
        const int middle = picture.height() / 2;
        return picture.pixelColor(0, middle) == highlight &&
               picture.pixelColor(picture.width() - 1, middle) == highlight &&
               picture.pixelColor(picture.width() / 2, 0) == highlight;
    };
    EXPECT_FALSE(edgeIsHighlighted());
    slider->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(edgeIsHighlighted());
}

// Each control's name and role for a screen reader; the pointer over it: the hand
// where a press does something, never while busy; Enter and Return press a button.
TEST_F(MainWindowControls, EachControlHasANameARoleAndItsPointer) {
    MainWindow& form = shown();
    using enum QAccessible::Role;
    const struct {
        const char* control;
        const char* name;
        QAccessible::Role role;
        const char* pointer; // "hand", "arrow", or "keeps" what it was
    } rows[] = {
        {"Form1", "Velmora", Window, "arrow"},
        {"ListView1", "PS File(s)", Tree, "arrow"},
        {"PushButton1", "Add PS File(s)", PushButton, "hand"},
        {"PushButton4", "Add All PS File(s) In Folder", PushButton, "hand"},
        {"PushButton2", "Start Converting To JPG", PushButton, "hand"},
        {"PushButton9", "Clear List", PushButton, "hand"},
        {"PushButton10", "Load Sample/Example Files", PushButton, "hand"},
        {"Frame1", "Save Option", Grouping, "arrow"},
        {"Option1", "Save results to this folder:", RadioButton, "keeps"},
        {"Option2", "Save results in folder of original file", RadioButton, "keeps"},
        {"Text1", "Save results to this folder:", EditableText, "arrow"},
        {"PushButton7", "Browse for the output folder", PushButton, "hand"},
        {"Frame3", "JPG Quality = 75", Grouping, "arrow"},
        {"Label2", "Min.", StaticText, "keeps"},
        {"Slider1", "JPG Quality", Slider, "keeps"},
        {"Label3", "Max.", StaticText, "keeps"},
        {"ProgressBar1", "Progress", ProgressBar, "keeps"},
    };
    // Near the left edge, halfway down: a frame's or the window's bare spot.
    const auto hover = [&](QWidget* widget) {
        QTest::mouseMove(control("ProgressBar1")); // from a place that changes nothing
        QTest::mouseMove(widget, QPoint(2, widget->height() / 2));
        QApplication::processEvents();
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.control);
        QWidget* widget = QLatin1String(row.control) == "Form1" ? &form : control(row.control);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->text(QAccessible::Name), row.name);
        EXPECT_EQ(face->role(), row.role);

        const bool hand = QLatin1String(row.pointer) == "hand";
        form.pointer().set(hand ? PointerState::Default : PointerState::Custom);
        hover(widget);
        EXPECT_EQ(form.windowPointer(), QLatin1String(row.pointer) == "arrow"
                                            ? PointerState::Default
                                            : PointerState::Custom);
        const WindowPointer::BusyScope busy(form.pointer());
        hover(widget);
        EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);

        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QSignalSpy pressed(button, &QPushButton::clicked);
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
                button->setFocus(Qt::TabFocusReason);
                QTest::keyClick(button, key);
            }
            EXPECT_EQ(pressed.size(), 2);
        }
    }
    // While pages go beside their sources "..." cannot be pressed: no hand.
    control<QRadioButton>("Option2")->click();
    form.pointer().set(PointerState::Custom);
    hover(control("PushButton7"));
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);

    // The application's hourglass is released once, also by a window closed under it.
    form.pointer().setApplicationPointer(PointerState::Busy);
    form.pointer().setApplicationPointer(PointerState::Busy);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    form.pointer().setApplicationPointer(PointerState::Default);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form.pointer().setApplicationPointer(PointerState::Busy);
    close();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Each choice reaches the settings file at once, and the window follows it.
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
        {"Text1", Qt::Key_O, "", "Output Folder=o", "into|on|JPG Quality = 75|o",
         "every keystroke is stored"},
        {"Slider1", Qt::Key_End, "", "JPGQuality=100", "into|on|JPG Quality = 100|o",
         "the slider's value is stored and shown in its frame"},
        {"PushButton7", Qt::Key_unknown, "", "Output Folder=o,LastFolderDot",
         "into|on|JPG Quality = 100|o", "the folder picker cancelled: nothing changes"},
        {"PushButton7", Qt::Key_unknown, "~", "Output Folder=~/,LastFolderDot=~",
         "into|on|JPG Quality = 100|~/", "a folder gets a closing separator in the box"},
        {"PushButton7", Qt::Key_unknown, "/", "Output Folder=/,LastFolderDot=/",
         "into|on|JPG Quality = 100|/", "the root no second one; it opened at the last pick"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.reason);
        QWidget* target = control(step.control);
        const QString lastPick = stored("LastFolderDot").section('=', 1);
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

// A file name is no format; never more than full; a report without a file keeps the text.
TEST_F(MainWindowControls, TheProgressBarShowsFileNamesAsTheyAre) {
    auto* bar = open().findChild<TextProgressBar*>("ProgressBar1");
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(bar);
    const QString shown = "Processing: 100%p %v done.ps (Esc to stop)";
    const struct {
        double percent;
        QString source;
        int value;
    } reports[] = {{100.0 / 3, "/in/100%p %v done.ps", 33}, {250, {}, 100}, {std::nan(""), {}, 0}};
    for (const auto& report : reports) {
        window->runControl().progressed({report.percent, report.source});
        EXPECT_EQ(bar->text() + '|' + spoken->text(QAccessible::Description), shown + '|' + shown);
        EXPECT_EQ(bar->value(), report.value);
        EXPECT_EQ(spoken->valueInterface()->currentValue().toInt(), report.value);
    }
}

} // namespace
