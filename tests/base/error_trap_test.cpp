#include "base/error_trap.h"
#include "base/failure.h"
#include "base/located_trap.h"
#include "base/report_locations.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"

#include <gtest/gtest.h>

#include <QSet>

#include <stdexcept>
#include <tuple>

using namespace velmora;
using velmora::test::RecordingPrompter;
namespace location = velmora::report_location;

namespace {

// A trap takes the steps of its own location and nothing else.
template <typename Location, typename Step>
concept TakesStep = requires(LocatedTrap<Location>& trap, Step at) {
    trap.step(at, std::function<void()>{});
    trap.test(at, std::function<bool()>{});
};
static_assert(TakesStep<location::StartUp, location::StartUp::Step>);
static_assert(!TakesStep<location::StartUp, location::AddFolder::Step>);
static_assert(!TakesStep<location::MakePages, location::TakeInSource::Step>);
static_assert(!TakesStep<location::StartUp, int>);

} // namespace

TEST(ErrorTrap, ReportsAFailingStepOrTestAndGoesOn) {
    RecordingPrompter prompter;
    using Steps = location::TakeInSource;
    LocatedTrap<Steps> trap(prompter);
    EXPECT_FALSE(
        trap.step(Steps::kCopySource, [] { throw Failure(QStringLiteral("File not found"), 53); }));
    EXPECT_TRUE(trap.test(Steps::kMakePdfFolder, []() -> bool {
        throw std::runtime_error("disk not ready");
    })) << "a failing test enters its branch";
    EXPECT_FALSE(trap.test(Steps::kMakePdfFolder, [] { return false; }));
    EXPECT_TRUE(trap.step(Steps::kCopySource, [] {}));

    ASSERT_EQ(prompter.boxes.size(), 2);
    const auto& box = prompter.boxes.front();
    EXPECT_EQ(box.title, QStringLiteral("Application Error"));
    EXPECT_EQ(box.icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(box.buttons, Prompter::Buttons::Ok);
    EXPECT_EQ(box.text, QStringLiteral("File not found\r\nin Velmora2021/08/31.PDF.PS_To_PDF at "
                                       "line 112\r\rPlease email screenshot of this message to ") +
                            ErrorTrap::supportAddress());
    EXPECT_TRUE(prompter.boxes.back().text.startsWith(
        QStringLiteral("disk not ready\r\nin Velmora2021/08/31.PDF.PS_To_PDF at line 110\r\r")));
    EXPECT_EQ(trap.failures(), 2);
}

// Users quote a location's text and a step's number from the box: none may
// name two places, or a screenshot would be ambiguous.
TEST(ErrorTrap, EachQuotedLocationAndStepNamesOnePlace) {
    QSet<QString> texts;
    std::apply(
        [&](auto... locations) {
            const auto check = [&]<typename Location>(Location) {
                const QString text = location::FullText<Location>();
                texts.insert(text);
                QSet<int> lines;
                for (const ReportStep<Location> step : Location::kSteps) {
                    lines.insert(step.line);
                }
                EXPECT_EQ(lines.size(), qsizetype(Location::kSteps.size())) << qPrintable(text);
            };
            (check(locations), ...);
            EXPECT_EQ(texts.size(), qsizetype(sizeof...(locations)));
        },
        location::All{});
}
