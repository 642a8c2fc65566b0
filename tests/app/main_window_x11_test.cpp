// The real window on a real X server, with the real Prompter's message boxes.
#include "app/main_window.h"
#include "app/qt_prompter.h"
#include "app/settings_store.h"
#include "app/startup_helpers.h"
#include "support/box_closer.h"
#include "support/qstring_printer.h"

#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

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

TEST(MainWindowOnX11, ARealWindowWithARealErrorBox) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    QTemporaryDir config;
    QSettings(config.filePath("Dravik.ini"), QSettings::IniFormat)
        .setValue("Velmora/Option1", "maybe");
    QtPrompter prompter;
    SettingsStore store(prompter, config.filePath("Dravik.ini"));
    BoxCloser closer(press("OK"));
    MainWindow form(
        prompter, store, [] { return 1; }, QCoreApplication::applicationDirPath());
    ASSERT_EQ(closer.seen.size(), 1) << "the load error was shown and closed";
    EXPECT_EQ(closer.seen[0].title + '|' + closer.seen[0].buttons.join(','),
              "Application Error|OK");
    EXPECT_EQ(closer.seen[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(closer.seen[0].text.startsWith(
        "Type mismatch\nin Velmora2021/08/31.Form1.Form_Load at line 142\n\nPlease email"))
        << "the report's line breaks are shown as line breaks";

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_LE((form.geometry().center() - screen.center()).manhattanLength(), form.height() / 8)
        << "opens in the middle of the screen";
    for (QPushButton* button : form.findChildren<QPushButton*>()) { // at the server's resolution
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width())
            << qPrintable(button->objectName());
    }
}

TEST(MainWindowOnX11, EachBoxGivesTheAnswerOfTheButtonPressed) {
    SetApplicationTitle();
    using enum Prompter::Answer;
    using Buttons = Prompter::Buttons;
    const auto key = [](Qt::Key key) {
        return [key](QMessageBox& box) { QTest::keyClick(&box, key); };
    };
    const struct {
        Buttons buttons;
        std::function<void(QMessageBox&)> answer;
        Prompter::Answer expected;
        const char* shown;
        const char* reason;
    } rows[] = {
        {Buttons::YesNo, press("Yes"), Yes, "No,Yes", "a question's Yes"},
        {Buttons::YesNo, press("No"), No, "No,Yes", "and its No"},
        {Buttons::Ok, key(Qt::Key_Return), Ok, "OK", "a box that only tells"},
        {Buttons::OkOpenFolder, key(Qt::Key_Return), Ok, "OK,Open Folder",
         "Enter presses OK, not Open Folder"},
        {Buttons::OkOpenFolder, key(Qt::Key_Escape), Ok, "OK,Open Folder",
         "Esc closes the box as OK did when it stood alone"},
        {Buttons::OkOpenFolder, press(QtPrompter::openFolderText()), OpenFolder, "OK,Open Folder",
         "the second button"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        QtPrompter prompter;
        BoxCloser closer(row.answer);
        // The long list of a run's failed files unfolds below a box that fits.
        EXPECT_EQ(prompter.message("Done.", {}, row.buttons, Prompter::Icon::None, "a.ps\nb.ps"),
                  row.expected);
        ASSERT_EQ(closer.seen.size(), 1);
        closer.seen[0].buttons.removeAll("Show Details..."); // Qt's, for the details
        closer.seen[0].buttons.sort();
        EXPECT_EQ(closer.seen[0].title + '|' + closer.seen[0].text + '|' +
                      closer.seen[0].buttons.join(',') + '|' + closer.seen[0].details,
                  QStringLiteral("Velmora|Done.|") + row.shown + "|a.ps\nb.ps")
            << "the application's title";
        EXPECT_EQ(closer.seen[0].icon, QMessageBox::NoIcon);
    }
}

} // namespace
