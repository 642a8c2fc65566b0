// The real Prompter's message boxes on a real X server, as the user sees and
// answers them.
#include "app/qt_prompter.h"
#include "app/startup_helpers.h"
#include "support/box_closer.h"
#include "support/qstring_printer.h"

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::BoxCloser;

namespace {

// Presses the box's button of that caption with the mouse.
std::function<void(QMessageBox&)> press(const QString& caption) {
    return [caption](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text().remove('&') == caption) {
                QTest::mouseClick(button, Qt::LeftButton);
            }
        }
    };
}

std::function<void(QMessageBox&)> key(Qt::Key key) {
    return [key](QMessageBox& box) { QTest::keyClick(&box, key); };
}

TEST(BoxesOnX11, EachBoxShowsItsTextAndGivesTheAnswerOfTheButtonPressed) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    SetApplicationTitle();
    using enum Prompter::Answer;
    using Buttons = Prompter::Buttons;
    const struct {
        Buttons buttons;
        std::function<void(QMessageBox&)> answer;
        Prompter::Answer expected;
        const char* shown; // its buttons
        const char* reason;
        const char* title = "";
        Prompter::Icon icon = Prompter::Icon::None;
        const char* text = "Done.";
        const char* read = "Velmora|Done.|"; // its title and text
    } rows[] = {
        {Buttons::YesNo, press("Yes"), Yes, "No,Yes", "a question's Yes"},
        {Buttons::YesNo, press("No"), No, "No,Yes", "and its No"},
        {Buttons::OkOpenFolder, key(Qt::Key_Return), Ok, "OK,Open Folder",
         "Enter presses OK, not Open Folder"},
        {Buttons::OkOpenFolder, key(Qt::Key_Escape), Ok, "OK,Open Folder",
         "Esc closes the box as OK did when it stood alone"},
        {Buttons::OkOpenFolder, press(QtPrompter::openFolderText()), OpenFolder, "OK,Open Folder",
         "the second button"},
        {Buttons::Ok, press("OK"), Ok, "OK", "an error report's breaks are shown as line breaks",
         "Application Error", Prompter::Icon::Exclamation, "Type mismatch\r\nin Form1\r\rline 142",
         "Application Error|Type mismatch\nin Form1\n\nline 142|"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        QtPrompter prompter;
        BoxCloser closer(row.answer);
        // The long list of a run's failed files unfolds below a box that fits.
        EXPECT_EQ(prompter.message(row.text, row.title, row.buttons, row.icon, "a.ps\nb.ps"),
                  row.expected);
        ASSERT_EQ(closer.seen.size(), 1);
        closer.seen[0].buttons.removeAll("Show Details..."); // Qt's, for the details
        closer.seen[0].buttons.sort();
        EXPECT_EQ(closer.seen[0].title + '|' + closer.seen[0].text + '|' +
                      closer.seen[0].buttons.join(',') + '|' + closer.seen[0].details,
                  row.read + (row.shown + QStringLiteral("|a.ps\nb.ps")));
        EXPECT_EQ(closer.seen[0].icon,
                  row.icon == Prompter::Icon::None ? QMessageBox::NoIcon : QMessageBox::Warning);
    }
}

} // namespace
