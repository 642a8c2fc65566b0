#include "base/error_trap.h"
#include "base/failure.h"
#include "base/located_trap.h"
#include "base/report_locations.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"

#include <gtest/gtest.h>

#include <QMap>

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

// Users quote these in the mails they send us: a rename or renumbering in
// the code must not change one, and each number names one step of its
// location (two names for one line would make a screenshot ambiguous).
TEST(ErrorTrap, LocationsKeepTheTextsAndNumbersUsersQuote) {
    const QMap<QString, QString> quoted{
        {"Velmora2021/08/31.Form1.Form_Load",
         "100 102 104 106 130 132 134 136 138 140 142 144 146 148 150 152"},
        {"Velmora2021/08/31.Form1.PushButton7_Click", "100 102 104 106 108"},
        {"Velmora2021/08/31.Form1.PushButton2_Click", "106 110 114 120"},
        {"Velmora2021/08/31.PDF.PS_To_PDF", "110 112"},
        {"Velmora2021/08/31.PDF.PDF_To_JPG", "104 108 126 138 142 150"},
        {"Velmora2021/08/31.Form1.PushButton1_Click", "112 114 122 140"},
        {"Velmora2021/08/31.Form1.PushButton4_Click",
         "100 102 104 106 108 334 114 118 124 134 138"},
        {"Velmora2021/08/31.Form1.PushButton9_Click", "100"},
        {"Velmora2021/08/31.Form1.PushButton10_Click", "100"},
        {"Velmora2021/08/31.Form1.ListView1_OLEDragDrop", "100 124"},
        {"Velmora2021/08/31.velmora-convert.AddFolder", "124"},
        {"TobrinTitle2021/08/31.AddFolder.GetSubDirectories2016", "114 118 154 156 158 160"},
    };
    QMap<QString, QString> table;
    std::apply(
        [&](auto... locations) {
            const auto add = [&]<typename Location>(Location) {
                QStringList lines;
                for (const ReportStep<Location> step : Location::kSteps) {
                    lines << QString::number(step.line);
                }
                table.insert(location::FullText<Location>(), lines.join(' '));
            };
            (add(locations), ...);
        },
        location::All{});
    EXPECT_EQ(table, quoted);
}
