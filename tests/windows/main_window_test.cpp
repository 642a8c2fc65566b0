// The window on Windows: a real top-level window of the system's own
// platform, with the captions a user reads.
#include "app/startup_helpers.h"
#include "app/window_fixture.h"
#include "base/unique_handle_windows.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class MainWindowOnWindows : public test::WindowFixture {};

TEST_F(MainWindowOnWindows, AppearsWithItsCaptions) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("windows"))
        << "run with QT_QPA_PLATFORM=windows";
    MainWindow& window = open();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // The pointer pictures load through the image plugins beside the
    // program: a start without them shows an error box.
    EXPECT_TRUE(prompter.boxes.isEmpty()) << "a box at start";
    // Windows' own look, from the style plugin beside the program.
    EXPECT_EQ(QApplication::style()->name(), QStringLiteral("windowsvista"));

    // The system knows the window by its title.
    const QString title = ProductName();
    EXPECT_EQ(window.windowTitle(), title);
    const HWND native = ::FindWindowW(nullptr, WideText(title));
    EXPECT_EQ(native, reinterpret_cast<HWND>(window.winId()));
    EXPECT_TRUE(::IsWindowVisible(native));

    const struct {
        const char* name;
        const char* caption;
    } buttons[] = {
        {"PushButton1", "Add PS File(s)"},
        {"PushButton4", "Add All PS File(s) In Folder"},
        {"PushButton2", "Start Converting To JPG"},
        {"PushButton9", "Clear List"},
        {"PushButton10", "Load Sample/Example Files"},
    };
    for (const auto& button : buttons) {
        const QPushButton* shown = control<QPushButton>(button.name);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->text(), QString::fromUtf8(button.caption)) << button.name;
        EXPECT_TRUE(shown->isVisible()) << button.name;
    }
    EXPECT_EQ(control<QRadioButton>("Option2")->text(),
              QStringLiteral("Save results in folder of original file"));
}

} // namespace
