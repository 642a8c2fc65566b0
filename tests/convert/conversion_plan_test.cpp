#include "convert/conversion_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace velmora;

namespace {

using Kind = PlanStep::Kind;

// A runner whose Ghostscripts end one at a time, in an order the seed
// chooses; a Deliver is carried out at once.
struct RandomRun {
    struct Job {
        int row;
        int range; // -1: the PostScript stage
    };

    explicit RandomRun(unsigned seed)
        : random(seed), jobs(1 + pick(8)), rows(pick(31)), plan(rows, jobs), pdfPages(rows + 1, -1),
          ranges(rows + 1) {}

    int pick(std::size_t count) { return static_cast<int>(random() % count); }

    void carryOut(const PlanStep& step) {
        const int row = step.row;
        ASSERT_TRUE(row >= 1 && row <= rows) << row;
        switch (step.kind) {
        case Kind::StartFile:
            ASSERT_EQ(row, started + 1) << "files start in row order";
            started = row;
            if (pick(8) == 0) {
                plan.fileEnded(row); // the source could not be taken in
            } else {
                running.push_back({row, -1});
            }
            break;
        case Kind::StartRange:
            ASSERT_GT(pdfPages[row], 0) << "only a PDF with pages is rendered";
            ASSERT_FALSE(limited.contains(row)) << "nothing starts for a document out of time";
            ASSERT_EQ(step.range, ranges[row].size()) << "each range starts once";
            ranges[row].append(step.pages);
            running.push_back({row, step.range});
            break;
        case Kind::Deliver:
            ASSERT_EQ(row, lastDelivered + 1) << "rows are delivered in row order, none skipped";
            ASSERT_TRUE(std::none_of(running.begin(), running.end(), [&](const Job& job) {
                return job.row == row;
            })) << "delivered while its Ghostscript runs";
            if (pdfPages[row] > 0 && !limited.contains(row)) {
                checkRanges(row);
            }
            EXPECT_EQ(plan.results(row).limitReached, limited.contains(row));
            lastDelivered = row;
            plan.delivered(row);
            break;
        }
        ASSERT_EQ(plan.running(), static_cast<int>(running.size()));
        ASSERT_LE(plan.running(), jobs);
        ASSERT_LE(started - lastDelivered, 3 * jobs) << "too many rows waiting";
    }

    // The ranges of a document cover it once, from page 1 to its end, each
    // worth a Ghostscript of its own.
    void checkRanges(int row) {
        const QList<PageRange>& parts = ranges[row];
        ASSERT_FALSE(parts.isEmpty()) << "row " << row << " delivered unrendered";
        if (parts.size() == 1) {
            EXPECT_EQ(parts.front(), PageRange{}) << "one range is the whole document";
            return;
        }
        EXPECT_LE(parts.size(), jobs);
        int first = 1;
        for (const PageRange& part : parts) {
            EXPECT_EQ(part.first, first) << "row " << row << ": a gap or an overlap";
            const int last = part.last < 0 ? pdfPages[row] : part.last;
            EXPECT_GE(last - part.first + 1, ConversionPlan::kMinPagesPerRange) << "row " << row;
            first = part.last + 1;
        }
        EXPECT_EQ(parts.back().last, -1) << "the last range stays open";
    }

    void endOne() {
        const auto index = static_cast<std::ptrdiff_t>(pick(running.size()));
        const Job job = running[index];
        if (pick(8) == 0 && !limited.contains(job.row)) {
            // The document's time is up: its Ghostscripts are stopped, and
            // end later, each in its own time.
            limited.append(job.row);
            plan.limitReached(job.row);
            return;
        }
        running.erase(running.begin() + index);
        if (job.range >= 0) {
            plan.rangeEnded(job.row, job.range, {});
        } else {
            pdfPages[job.row] = pick(41); // 0: nothing to render
            plan.pdfEnded(job.row, pdfPages[job.row], {});
        }
        ASSERT_EQ(plan.running(), static_cast<int>(running.size()));
    }

    void stop() {
        // Each row's outcome is its delivery or this stop, once.
        QList<int> undelivered;
        for (int row = lastDelivered + 1; row <= rows; ++row) {
            undelivered.append(row);
        }
        EXPECT_EQ(plan.stop(), undelivered);
        EXPECT_EQ(plan.running(), 0);
        EXPECT_TRUE(plan.inFlight().isEmpty());
        // The stopped Ghostscripts still report their ends; nothing restarts.
        for (const Job& job : running) {
            job.range < 0 ? plan.pdfEnded(job.row, 10, {})
                          : plan.rangeEnded(job.row, job.range, {});
        }
        EXPECT_EQ(plan.running(), 0) << "after the stopped Ghostscripts ended";
        EXPECT_EQ(plan.next(), std::nullopt);
        EXPECT_TRUE(plan.finished());
    }

    void run() {
        const int stopAt = pick(3) == 0 ? pick(static_cast<std::size_t>(rows) * 4 + 1) : -1;
        for (int round = 0;; ++round) {
            ASSERT_LT(round, 1000) << "the run never ends";
            while (const auto step = plan.next()) {
                carryOut(*step);
                if (testing::Test::HasFatalFailure()) {
                    return;
                }
            }
            if (round == stopAt) {
                stop();
                return;
            }
            if (running.empty()) {
                EXPECT_TRUE(plan.finished()) << "nothing runs, yet the plan waits";
                EXPECT_TRUE(plan.inFlight().isEmpty());
                EXPECT_EQ(lastDelivered, rows) << "every row is delivered";
                EXPECT_TRUE(plan.stop().isEmpty()) << "stopping a finished run stops nothing";
                return;
            }
            endOne();
        }
    }

    std::mt19937 random;
    int jobs;
    int rows;
    ConversionPlan plan;
    std::vector<int> pdfPages;            // by row; -1: its PDF never ended with a count
    std::vector<QList<PageRange>> ranges; // by row, as started
    std::vector<Job> running;
    QList<int> limited; // rows whose time ran out
    int started = 0;
    int lastDelivered = 0;
};

TEST(ConversionPlan, RandomRunsKeepEveryRule) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomRun run(seed);
        SCOPED_TRACE(testing::Message()
                     << "seed " << seed << ", " << run.jobs << " jobs, " << run.rows << " rows");
        run.run();
        if (HasFailure()) {
            break;
        }
    }
}

// "F1" starts row 1's file, "R1.0[1-22]" its range 0 ("[23-]": to the end;
// "[1-]": the whole document, PageRange{}), "D1" delivers it.
std::string Text(const PlanStep& step) {
    char text[48];
    if (step.kind != Kind::StartRange) {
        std::snprintf(text, sizeof text, "%c%d", step.kind == Kind::Deliver ? 'D' : 'F', step.row);
    } else if (step.pages.last < 0) {
        std::snprintf(text, sizeof text, "R%d.%d[%d-]", step.row, step.range, step.pages.first);
    } else {
        std::snprintf(text, sizeof text, "R%d.%d[%d-%d]", step.row, step.range, step.pages.first,
                      step.pages.last);
    }
    return text;
}

// Every step the plan has now, each placed at once; "-" for none. A plan
// that never runs out of steps fails rather than hangs.
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

// "pdf2=40" (PostScript stage of row 2 ended, 40 pages), "file2" (row 2
// runs no more), "end2.1" (range 1 of row 2 ended), "hold" and "go" (the
// user is asked whether to stop, and answers No).
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
