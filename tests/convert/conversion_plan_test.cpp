#include "convert/conversion_plan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

using namespace velmora;

namespace {

using Kind = PlanStep::Kind;

// "F1" starts row 1's file, "R1.0[1-22]" its range 0 ("[1-]": all), "D1" delivers it.
std::string Text(const PlanStep& step) {
    const auto number = [](int value) { return std::to_string(value); };
    if (step.kind != Kind::StartRange) {
        return (step.kind == Kind::Deliver ? "D" : "F") + number(step.row);
    }
    return "R" + number(step.row) + "." + number(step.range) + "[" + number(step.pages.first) +
           "-" + (step.pages.last < 0 ? "" : number(step.pages.last)) + "]";
}

// Every step the plan has now, each taken at once; "-" for none, "..." for endless.
std::string Drain(ConversionPlan& plan) {
    std::string steps;
    for (int count = 0; count < 100; ++count) {
        const auto step = plan.next();
        if (!step) {
            return steps.empty() ? "-" : steps;
        }
        steps += (steps.empty() ? "" : " ") + Text(*step);
        if (step->kind == Kind::Deliver) {
            plan.delivered(step->row);
        }
    }
    return steps + " ...";
}

// "pdf2=40", "end2.1" (range 1), "limit2", "file2" (ended at intake); "hold", "go".
void Report(ConversionPlan& plan, const std::string& event) {
    int row = 0;
    int number = 0;
    if (std::sscanf(event.c_str(), "pdf%d=%d", &row, &number) == 2) {
        plan.pdfEnded(row, number, {});
    } else if (std::sscanf(event.c_str(), "end%d.%d", &row, &number) == 2) {
        plan.rangeEnded(row, number, {});
    } else if (std::sscanf(event.c_str(), "limit%d", &row) == 1) {
        plan.limitReached(row);
    } else if (std::sscanf(event.c_str(), "file%d", &row) == 1) {
        plan.fileEnded(row);
    } else if (event == "hold" || event == "go") {
        plan.hold(event == "hold");
    } else {
        ADD_FAILURE() << "unknown event " << event;
    }
}

TEST(ConversionPlan, StepsInOrder) {
    struct Row {
        int rows;
        int jobs;
        const char* events; // drained after each word; "a+b" reports both first
        const char* steps;  // each drain's steps, separated by " / "
        const char* why;
    } rows[] = {
        {1, 1, "pdf1=100 end1.0", "F1 / R1.0[1-] / D1", "one job never splits, whole document"},
        {1, 4, "pdf1=87", "F1 / R1.0[1-22] R1.1[23-44] R1.2[45-66] R1.3[67-]",
         "shared over 4 free jobs"},
        {1, 4, "pdf1=7", "F1 / R1.0[1-]", "too short for two ranges of 4"},
        {1, 4, "pdf1=8", "F1 / R1.0[1-4] R1.1[5-]", "just long enough for two"},
        {2, 4, "pdf1=40", "F1 F2 / R1.0[1-14] R1.1[15-27] R1.2[28-]", "only the 3 free jobs"},
        {3, 2, "pdf2=10+pdf1=10 end1.0 end1.1", "F1 F2 / R1.0[1-5] R1.1[6-] / R2.0[1-] / D1 F3",
         "an earlier row's ranges start before a later row's and before a new file"},
        {2, 2, "pdf2=0 pdf1=3 end1.0", "F1 F2 / - / R1.0[1-] / D1 D2",
         "row 2 ended first yet waits for row 1"},
        {2, 2, "file2 file1", "F1 F2 / - / D1 D2", "a file that ends at intake waits too"},
        {8, 2, "pdf1=4 file2 file3 file4 file5 file6 end1.0",
         "F1 F2 / R1.0[1-] / F3 / F4 / F5 / F6 / - / D1 D2 D3 D4 D5 D6 F7 F8",
         "no more than 6 rows wait undelivered with 2 jobs"},
        {3, 1, "hold pdf1=3 go", "F1 / - / - / R1.0[1-]",
         "held: a ready PDF waits for its Ghostscript until the answer"},
        {3, 2, "hold pdf1=0 file2 go", "F1 F2 / - / D1 / D2 / F3",
         "held: made rows are still delivered, no new file starts"},
        {1, 4, "pdf1=87 limit1 end1.2 end1.0 end1.1 end1.3",
         "F1 / R1.0[1-22] R1.1[23-44] R1.2[45-66] R1.3[67-] / - / - / - / - / D1",
         "out of time: delivered once every range it ran has ended, in any order"},
        {2, 1, "limit1 pdf1=9", "F1 / - / D1 F2",
         "out of time in its PostScript stage: no range starts"},
        {2, 1, "hold pdf1=9 limit1 go", "F1 / - / - / D1 / F2",
         "out of time while its PDF waits for a Ghostscript: none starts for it"},
    };
    for (const Row& row : rows) {
        ConversionPlan plan(row.rows, row.jobs);
        std::string steps = Drain(plan);
        std::istringstream words(row.events);
        for (std::string word; words >> word;) {
            std::istringstream events(word);
            for (std::string event; std::getline(events, event, '+');) {
                Report(plan, event);
            }
            steps += " / " + Drain(plan);
        }
        EXPECT_EQ(steps, row.steps) << row.why;
    }
}

} // namespace
