// The window for a screen reader and for the keyboard alone: names and roles,
// Enter on the buttons, where the focus starts and how it shows.
#include "app/text_progress_bar.h"
#include "app/window_fixture.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QSlider>
#include <QStyleOption>

using namespace velmora;
using velmora::test::WindowFixture;

namespace {

class MainWindowAccess : public WindowFixture {
protected:
    MainWindow& shown() {
        MainWindow& form = open();
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        return form;
    }

    QAccessibleInterface* accessible(const char* name) const {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control<QWidget>(name));
        EXPECT_NE(face, nullptr) << name;
        return face;
    }
};

TEST_F(MainWindowAccess, EveryControlHasANameAndARole) {
    MainWindow& form = open();
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
        {"PushButton2", "Start Converting To JPG", PushButton, "the start button"},
        {"PushButton9", "Clear List", PushButton, "the third list button"},
        {"PushButton10", "Load Sample/Example Files", PushButton, "the fourth list button"},
        {"Frame1", "Save Option", Grouping, "frames by their titles"},
        {"Option1", "Save results to this folder:", RadioButton, "options by their captions"},
        {"Text1", "Save results to this folder:", EditableText,
         "the folder box by the option it belongs to, not by its contents"},
        {"PushButton7", "Browse for the output folder", PushButton, "not \"dot dot dot\""},
        {"Option2", "Save results in folder of original file", RadioButton, "the other option"},
        {"Frame3", "JPG Quality = 75", Grouping, "the quality frame says the quality"},
        {"Label2", "Min.", StaticText, "the slider's ends"},
        {"Slider1", "JPG Quality", Slider, "the slider by what it sets"},
        {"Label3", "Max.", StaticText, "the slider's ends"},
        {"ProgressBar1", "Progress", ProgressBar, "the bar by what it shows, not by its number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.control);
        SCOPED_TRACE(row.reason);
        QAccessibleInterface* face = accessible(row.control);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->text(QAccessible::Name), QString::fromUtf8(row.name));
        EXPECT_EQ(face->role(), row.role);
    }

    QAccessibleValueInterface* quality = accessible("Slider1")->valueInterface();
    ASSERT_NE(quality, nullptr);
    EXPECT_EQ(quality->currentValue().toInt(), 75) << "its value is the number";

    // One progress report: the value is the percentage, the bar's text is
    // its description.
    form.runControl().progressed({58, QStringLiteral("/in/report.ps")});
    QAccessibleInterface* bar = accessible("ProgressBar1");
    EXPECT_EQ(bar->text(QAccessible::Name), QStringLiteral("Progress"));
    EXPECT_EQ(bar->text(QAccessible::Description),
              QStringLiteral("Processing: report.ps (Esc to stop)"));
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 58);
}

TEST_F(MainWindowAccess, EnterOnAButtonDoesWhatAClickDoes) {
    const struct {
        const char* button;
        QStringList rows;
        const char* reason;
    } rows[] = {
        {"PushButton1", {}, "the file dialog opens"},
        {"PushButton4", {}, "the extension is asked for"},
        {"PushButton2", {}, "an empty list: \"No files added.\""},
        {"PushButton9", {QStringLiteral("/nowhere/a.ps")}, "the list is emptied"},
        {"PushButton10", {}, "the samples are listed, then the question"},
        {"PushButton7", {}, "the folder picker opens"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        // What the user sees of a press: the boxes that opened and the rows.
        const auto press = [&](const std::function<void(QPushButton*)>& how) {
            prompter.boxes.clear();
            shown().fileList().append(row.rows);
            auto* button = control<QPushButton>(row.button);
            button->setFocus(Qt::TabFocusReason);
            how(button);
            QApplication::processEvents(); // a run reports its end from the event loop
            QStringList seen = window->fileList().rows();
            for (const auto& box : prompter.boxes) {
                seen.append(box.kind + QLatin1Char(':') + box.text);
            }
            return seen;
        };
        const QStringList clicked =
            press([](QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); });
        EXPECT_NE(clicked, row.rows) << row.button << ": a click does something";
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            EXPECT_EQ(press([key](QPushButton* button) { QTest::keyClick(button, key); }), clicked)
                << row.button << " key " << key;
        }
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
