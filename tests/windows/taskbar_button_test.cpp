// The taskbar button's bar through the system's own taskbar list: every
// call is taken or refused, and a refusal harms nothing.
#include "app/taskbar_list_button_windows.h"
#include "app/taskbar_progress.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>

using namespace velmora;

namespace {

TEST(TaskbarListButton, TakesOrHarmlesslyRefusesEveryCall) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("windows"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Velmora"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TaskbarListButton button([&window] { return reinterpret_cast<HWND>(window.winId()); });

    const bool normal = button.setProgressState(TaskbarState::Normal);
    const bool value =
        button.setProgressValue(TaskbarProgress::kSteps / 2, TaskbarProgress::kSteps);
    const bool error = button.setProgressState(TaskbarState::Error);
    const bool none = button.setProgressState(TaskbarState::None);
    // What this system's shell does, for the log: Windows takes them all.
    std::printf("taskbar list: state %s, value %s, error %s, none %s\n",
                normal ? "taken" : "refused", value ? "taken" : "refused",
                error ? "taken" : "refused", none ? "taken" : "refused");
    EXPECT_EQ(error, normal) << "the shell answers the same call alike";
    EXPECT_TRUE(window.isVisible());

    // The adapter over it, through a whole run and the program's end.
    {
        TaskbarProgress bar(button);
        bar.show(0);
        bar.fileFailed();
        bar.show(1);
    }
    EXPECT_TRUE(window.isVisible());
}

TEST(TaskbarListButton, RefusesWithoutAWindow) {
    TaskbarListButton button([] { return HWND{}; });
    EXPECT_FALSE(button.setProgressState(TaskbarState::Normal));
    EXPECT_FALSE(button.setProgressValue(1, TaskbarProgress::kSteps));
}

} // namespace
