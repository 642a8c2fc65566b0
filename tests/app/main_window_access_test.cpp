// The window for a screen reader and for the keyboard alone: names and roles,
// Enter on the buttons, where the focus starts and how it shows.
#include "app/window_fixture.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QSlider>
#include <QStyleOption>

using namespace velmora;

namespace {

using MainWindowAccess = test::WindowFixture;

TEST_F(MainWindowAccess, EveryControlHasANameAndARole) {
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
        {"Frame1", "Save Option", Grouping, "frames by their titles"},
        {"Option1", "Save results to this folder:", RadioButton, "options by their captions"},
        {"Text1", "Save results to this folder:", EditableText,
         "the folder box by the option it belongs to, not by its contents"},
        {"PushButton7", "Browse for the output folder", PushButton, "not \"dot dot dot\""},
        {"Frame3", "JPG Quality = 75", Grouping, "the quality frame says the quality"},
        {"Label2", "Min.", StaticText, "the slider's ends"},
        {"Slider1", "JPG Quality", Slider, "the slider by what it sets"},
        {"ProgressBar1", "Progress", ProgressBar, "the bar by what it shows"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control(row.control));
        ASSERT_NE(face, nullptr) << row.control;
        EXPECT_EQ(face->text(QAccessible::Name), row.name);
        EXPECT_EQ(face->role(), row.role);
    }
    QAccessibleValueInterface* quality =
        QAccessible::queryAccessibleInterface(control("Slider1"))->valueInterface();
    ASSERT_NE(quality, nullptr);
    EXPECT_EQ(quality->currentValue().toInt(), 75) << "its value is the number";
}

TEST_F(MainWindowAccess, EnterAndReturnPressTheFocusedButton) {
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

TEST_F(MainWindowAccess, TheKeyboardStartsOnTheFirstButtonAndShowsWhereItIs) {
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
