// The window's parts that only Windows has: the system's own style, the bar
// on the taskbar button, and the settings in the registry.
#include "app/settings_store.h"
#include "app/taskbar_list_button_windows.h"
#include "app/taskbar_progress.h"
#include "base/unique_handle_windows.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"

#include <QApplication>
#include <QStyle>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(WindowOnWindows, HasTheSystemsStyleAndItsTaskbarButtonTakesTheBar) {
    ASSERT_EQ(QGuiApplication::platformName(), u"windows"_qs) << "run with QT_QPA_PLATFORM=windows";
    EXPECT_EQ(QApplication::style()->name(), u"windowsvista"_qs) << "the style plugin beside it";
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const HWND native = reinterpret_cast<HWND>(window.winId());
    TaskbarListButton button([native] { return native; });
    {
        TaskbarProgress bar(button); // through a whole run and the program's end
        bar.show(0);
        bar.fileFailed();
        bar.show(1);
    }
    EXPECT_TRUE(::IsWindowVisible(native)) << "whatever the shell took, the window is unharmed";
    TaskbarListButton windowless([] { return HWND{}; });
    EXPECT_FALSE(windowless.setProgressState(TaskbarState::Normal)) << "no window: refused";
    EXPECT_FALSE(windowless.setProgressValue(1, TaskbarProgress::kSteps));
}

TEST(WindowOnWindows, SettingsAreTextValuesUnderTheUsersKey) {
    const struct {
        const char* key;
        const char* value;
        const char* why;
    } rows[] = {
        {"JPGQuality", "75", "a number is kept as text"},
        {"Output Folder", "C:\\Zoë\\日本語, neu\\",
         "beyond Latin-1; a comma, a space, a closing \\"},
        {"LastFolder", "", "an empty text stays empty"},
    };
    test::RecordingPrompter prompter;
    for (const auto& row : rows) {
        const QString key = QString::fromUtf8(row.key);
        const QString value = QString::fromUtf8(row.value);
        SettingsStore(prompter).SaveSetting(key, value);
        EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Dravik\\Dravik\\Velmora",
                                 WideText(key), RRF_RT_REG_SZ, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS)
            << row.why << ": a text value under the user's key";
        EXPECT_EQ(SettingsStore(prompter).GetSetting(key, u"default"_qs), value) << row.why;
    }
    EXPECT_EQ(SettingsStore(prompter).GetSetting(u"NeverWritten"_qs, u"ps"_qs), u"ps"_qs);
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

} // namespace
