#include "base/error_trap.h"
#include "base/failure.h"
#include "support/recording_prompter.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace velmora;
using velmora::test::RecordingPrompter;

TEST(ErrorTrap, ReportsAFailingStepAndGoesOn) {
    RecordingPrompter prompter;
    ErrorTrap trap(prompter, QStringLiteral("PDF.PS_To_PDF"));
    QStringList ran;
    trap.step(100, [&] { ran << QStringLiteral("100"); });
    EXPECT_FALSE(trap.step(102, [&] { throw Failure(QStringLiteral("File not found"), 53); }));
    trap.step(104, [&] { ran << QStringLiteral("104"); });

    EXPECT_EQ(ran, (QStringList{QStringLiteral("100"), QStringLiteral("104")}));
    ASSERT_EQ(prompter.boxes.size(), 1);
    const auto& box = prompter.boxes.front();
    EXPECT_EQ(box.title, QStringLiteral("Application Error"));
    EXPECT_EQ(box.icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(box.buttons, Prompter::Buttons::Ok);
    EXPECT_EQ(box.text, QStringLiteral("File not found\r\nin Velmora2021/08/31.PDF.PS_To_PDF at "
                                       "line 102\r\rPlease email screenshot of this message to ") +
                            ErrorTrap::supportAddress());
    EXPECT_EQ(trap.failures(), 1);
}

TEST(ErrorTrap, AFailingTestEntersTheBranch) {
    RecordingPrompter prompter;
    auto trap = ErrorTrap::withFullLocation(
        prompter, QStringLiteral("TobrinTitle2021/08/31.AddFolder.GetSubDirectories2016"));
    EXPECT_TRUE(trap.test(108, []() -> bool { throw std::runtime_error("disk not ready"); }));
    EXPECT_FALSE(trap.test(110, [] { return false; }));
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(prompter.boxes.front().text.startsWith(
        QStringLiteral("disk not ready\r\nin TobrinTitle2021/08/31.AddFolder."
                       "GetSubDirectories2016 at line 108\r\r")));
}
