// The taskbar button's bar as a run drives it, through a recording button.
#include "app/taskbar_progress.h"
#include "support/qstring_printer.h"
#include "support/recording_taskbar_button.h"
#include "support/text.h"

#include <gtest/gtest.h>

using namespace velmora;

// What the run tells the bar, one step a word: a number shows that fraction,
// "failed" is a failed file, "hide" the run's end, "refuse" and "accept"
// make the button refuse or take the calls that follow; and what the button
// took of it, until the bar went with the program.
TEST(TaskbarProgress, TheButtonIsToldOnlyOfChanges) {
    const struct {
        const char* steps;
        const char* calls;
        const char* reason;
    } rows[] = {
        {"0,0.5,1,hide", "Normal,0/1000,500/1000,1000/1000,None",
         "normal while converting, none at the end"},
        {"0,0.2,failed,0.6,failed,hide", "Normal,0/1000,200/1000,Error,600/1000,None",
         "the error colour from the first failed file on"},
        {"0,failed,hide,0,hide", "Normal,0/1000,Error,None,Normal,0/1000,None",
         "the next run starts in the normal colour"},
        {"0.5,0.5,0.5004", "Normal,500/1000,None", "no call without a change"},
        {"-1,2,nan", "Normal,0/1000,1000/1000,0/1000,None", "out-of-range values are bounded"},
        {"failed,hide", "", "a failure with no bar shows none"},
        {"refuse,0,0.1,accept,0.1,0.2", "Normal,100/1000,200/1000,None",
         "a refused call is made again with the next change"},
    };
    for (const auto& row : rows) {
        test::RecordingTaskbarButton button;
        {
            TaskbarProgress bar(button);
            for (const QString& step : test::split(row.steps)) {
                if (step == "failed") {
                    bar.fileFailed();
                } else if (step == "hide") {
                    bar.hide();
                } else if (step == "refuse" || step == "accept") {
                    button.refusing = step == "refuse";
                } else {
                    bar.show(step.toDouble()); // "nan" reads as a number that is none
                }
            }
            button.refusing = false;
        }
        EXPECT_EQ(button.calls, test::split(row.calls)) << row.reason;
    }
}
