// The real Prompter's message boxes on a real X server, as the user sees and
// answers them.
#include "app/qt_prompter.h"
#include "app/startup_helpers.h"
#include "support/qstring_printer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

using Answering = std::function<void(QMessageBox&)>;

// Presses the box's button of that caption with the mouse.
Answering press(const QString& caption) {
    return [caption](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text().remove('&') == caption) {
                QTest::mouseClick(button, Qt::LeftButton);
            }
        }
    };
}

Answering key(Qt::Key key) {
    return [key](QMessageBox& box) { QTest::keyClick(&box, key); };
}

TEST(BoxesOnX11, EachBoxShowsItsTextAndGivesTheAnswerOfTheButtonPressed) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    SetApplicationTitle();
    using enum Prompter::Answer;
    using Buttons = Prompter::Buttons;
    constexpr int kLookEveryMs = 50;
    const struct {
        Buttons buttons;
        Answering answer;
        Prompter::Answer expected;
        const char* shown; // its title, text and buttons; the details are the same in each
        const char* reason;
        Prompter::Icon icon = Prompter::Icon::None;
        const char* text = "Done.";
        const char* title = "";
    } rows[] = {
        {Buttons::YesNo, press("Yes"), Yes, "Velmora|Done.|No,Yes", "a question's Yes"},
        {Buttons::YesNo, press("No"), No, "Velmora|Done.|No,Yes", "and its No"},
        {Buttons::OkOpenFolder, key(Qt::Key_Return), Ok, "Velmora|Done.|OK,Open Folder",
         "Enter presses OK, not Open Folder"},
        {Buttons::OkOpenFolder, key(Qt::Key_Escape), Ok, "Velmora|Done.|OK,Open Folder",
         "Esc closes the box as OK did when it stood alone"},
        {Buttons::OkOpenFolder, press(QtPrompter::openFolderText()), OpenFolder,
         "Velmora|Done.|OK,Open Folder", "the second button"},
        {Buttons::Ok, press("OK"), Ok, "Application Error|Type mismatch\nin Form1\n\nline 142|OK",
         "an error report's breaks are shown as line breaks, with the warning's icon",
         Prompter::Icon::Exclamation, "Type mismatch\r\nin Form1\r\rline 142", "Application Error"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        QStringList seen; // what each box that came up showed, before it was answered
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            QStringList buttons;
            for (const QAbstractButton* button : box->buttons()) {
                buttons.append(button->text().remove('&'));
            }
            buttons.removeAll("Show Details..."); // Qt's, for the details
            buttons.sort();
            seen.append(box->windowTitle() + '|' + box->text() + '|' + buttons.join(',') + '|' +
                        box->detailedText());
            EXPECT_EQ(box->icon(), row.icon == Prompter::Icon::None ? QMessageBox::NoIcon
                                                                    : QMessageBox::Warning);
            row.answer(*box);
        });
        look.start(kLookEveryMs);
        // The long list of a run's failed files unfolds below a box that fits.
        EXPECT_EQ(QtPrompter().message(row.text, row.title, row.buttons, row.icon, "a.ps\nb.ps"),
                  row.expected);
        EXPECT_EQ(seen, QStringList{row.shown + QStringLiteral("|a.ps\nb.ps")});
    }
}

} // namespace
