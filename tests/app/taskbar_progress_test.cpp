// The taskbar button's bar as a run drives it, through a recording button.
#include "app/taskbar_progress.h"
#include "support/qstring_printer.h"
#include "support/recording_taskbar_button.h"
#include "support/text.h"

#include <gtest/gtest.h>

#include <limits>

using namespace velmora;

namespace {

// What the run tells the bar, one step a word: a number shows that
// fraction, "failed" is a failed file, "hide" the run's end, "refuse" and
// "accept" make the button refuse or take the calls that follow.
struct BarRow {
    std::vector<const char*> steps;
    const char* calls; // what the button took, comma-separated
    const char* why;
};

class TaskbarBar : public ::testing::TestWithParam<BarRow> {};

TEST_P(TaskbarBar, TakesOnlyChanges) {
    test::RecordingTaskbarButton button;
    {
        TaskbarProgress bar(button);
        for (const std::string step : GetParam().steps) {
            if (step == "failed") {
                bar.fileFailed();
            } else if (step == "hide") {
                bar.hide();
            } else if (step == "refuse" || step == "accept") {
                button.refusing = step == "refuse";
            } else if (step == "nan") {
                bar.show(std::numeric_limits<double>::quiet_NaN());
            } else {
                bar.show(std::stod(step));
            }
        }
        button.refusing = false;
    }
    EXPECT_EQ(button.calls, test::split(GetParam().calls)) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TaskbarBar,
    ::testing::Values(
        BarRow{{"0", "0.5", "1", "hide"},
               "Normal,0/1000,500/1000,1000/1000,None",
               "normal while converting, none at the end"},
        BarRow{{"0", "0.2", "failed", "0.6", "failed", "hide"},
               "Normal,0/1000,200/1000,Error,600/1000,None",
               "the error colour from the first failed file on"},
        BarRow{{"0", "failed", "hide", "0", "hide"},
               "Normal,0/1000,Error,None,Normal,0/1000,None",
               "the next run starts in the normal colour"},
        BarRow{{"0.5", "0.5", "0.5004"}, "Normal,500/1000,None", "no call without a change"},
        BarRow{{"-1", "2", "nan"},
               "Normal,0/1000,1000/1000,0/1000,None",
               "out-of-range values are bounded"},
        BarRow{{"failed", "hide"}, "", "a failure with no bar shows none"},
        BarRow{{"hide"}, "", "nothing to take away"},
        BarRow{{"refuse", "0", "0.1", "accept", "0.1", "0.2"},
               "Normal,100/1000,200/1000,None",
               "a refused call is made again with the next change"},
        BarRow{{"0.3"}, "Normal,300/1000,None", "the bar goes with the program"}));

} // namespace
