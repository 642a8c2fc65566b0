// The real pool and plan driven through fake runners in random runs: the seed
// chooses the order Ghostscripts end in, documents out of time, sources that
// cannot be read, disks that fill, a host that stops the run from inside a
// report, and a user who holds the run or stops it. The fakes check each step.
#include "convert/conversion_pool.h"
#include "convert/conversion_port.h"
#include "convert/run_context.h"
#include "convert/sandbox.h"
#include "support/qstring_printer.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace velmora;

namespace {

struct FakeRunner;

// The pool, its fakes, and a port that checks the rows' ends and stops at a problem.
struct World : ConversionPort {
    World(int rows, int jobs);
    void progressed(const RunProgress&) override {}
    void fileEnded(const FileOutcome& outcome) override {
        EXPECT_EQ(outcome.source, sources.value(ended.size())) << "outcomes in row order";
        // A stop or a full disk ends every row after it with its reason.
        const QString before = ended.value(ended.size() - 1);
        if (before == QLatin1String("stopped") || before == QLatin1String("disk nearly full")) {
            EXPECT_EQ(outcome.failure.text(), before);
        }
        ended.append(outcome.failure.text());
    }
    void problem(const Problem&) override { pool->stop(GhostscriptEnding::Stopped); }

    int jobs;
    QStringList sources;
    Sandbox sandbox = Sandbox::none({}, {});
    RunContext context{.layout = WorkLayout({}),
                       .sandbox = sandbox,
                       .port = *this,
                       .settings = {},
                       .outputFolder = {},
                       .diskSpace = {}};
    std::map<int, FakeRunner*> runners; // alive, by row; outlives the pool
    std::unique_ptr<ConversionPool> pool;
    std::set<int> unreadable, problemAtStart, fillsTheDisk; // rows
    QStringList ended;                                      // each row's reason
};

// One row's file: a PostScript stage (job -1) and ranges, ended when the test says.
struct FakeRunner : FileRunner {
    FakeRunner(World& world, int row, FileEvents& events) : w(world), row(row), events(events) {
        outcomeNow.source = world.sources.at(row - 1);
        w.runners[row] = this;
    }
    ~FakeRunner() override {
        EXPECT_FALSE(isRunning()) << "row " << row << " let go of while its Ghostscripts run";
        w.runners.erase(row);
    }
    bool start() override {
        starting = true;
        if (w.problemAtStart.count(row) != 0) {
            w.problem({});
        }
        starting = false;
        pdf = w.unreadable.count(row) == 0;
        outcomeNow.failure.kind = pdf ? FileFailure::Kind::None : FileFailure::Kind::EmptyFile;
        return pdf;
    }
    void startRange(int index, PageRange) override {
        EXPECT_TRUE(!stopped && !limited && pages > 0) << "a range started for nothing";
        EXPECT_TRUE(started.insert(index).second) << "range " << index << " started twice";
        ranges.insert(index);
    }
    void deliver(const RowResults& results) override {
        EXPECT_FALSE(isRunning()) << "row " << row << " delivered while its Ghostscripts run";
        EXPECT_EQ(results.limitReached, limited);
        if (w.fillsTheDisk.count(row) != 0) {
            outcomeNow.failure = FileFailure::of(FileFailure::Kind::DiskNearlyFull);
        }
    }
    void stop(GhostscriptEnding ending) override {
        EXPECT_FALSE(starting) << "row " << row << " stopped from inside its own call";
        stopped = true;
        outcomeNow.failure = FileFailure::fromEnding(ending);
    }
    bool isRunning() const override { return pdf || !ranges.empty(); }
    double progress() const override { return 0; }
    const FileOutcome& outcome() const override { return outcomeNow; }

    // Ends one of its Ghostscripts; the PostScript stage reports `reported` pages.
    void endJob(int job, int reported) {
        if (job < 0) {
            pdf = false;
            pages = stopped ? 0 : reported;
            events.pdfEnded(row, pages, {});
        } else {
            ranges.erase(job);
            events.rangeEnded(row, job, {});
        }
        if (stopped && !isRunning()) {
            events.settled(row);
        }
    }
    // Its document is out of time: nothing more may start for it.
    void reachLimit() {
        limited = !stopped;
        events.limitReached(row);
    }

    World& w;
    int row;
    FileEvents& events;
    FileOutcome outcomeNow;
    bool pdf = false; // its PostScript stage runs
    int pages = 0;    // as its PostScript stage reported them
    std::set<int> ranges, started;
    bool stopped = false, starting = false, limited = false;
};

World::World(int rows, int jobs) : jobs(jobs) {
    for (int row = 1; row <= rows; ++row) {
        sources.append(QStringLiteral("/in/%1.ps").arg(row));
    }
    pool = std::make_unique<ConversionPool>(
        context, sources, jobs, [this](int row, const QString&, FileEvents& events) {
            return std::make_unique<FakeRunner>(*this, row, events);
        });
}

TEST(ConversionPool, RandomRunsKeepEveryRule) {
    for (unsigned seed = 1; seed <= 400 && !HasFailure(); ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        const auto pick = [&](int count) { return static_cast<int>(random() % count); };
        World world(pick(16), 1 + pick(6));
        world.unreadable = {pick(16)};
        world.problemAtStart = {pick(48)};
        world.fillsTheDisk = {pick(32)};
        const int stopAt = pick(3) == 0 ? pick(60) : -1;
        QSignalSpy finished(world.pool.get(), &ConversionPool::finished);
        world.pool->start();
        for (int round = 0; finished.isEmpty(); ++round) {
            ASSERT_LT(round, 2000) << "the run never ends";
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            world.pool->hold(pick(4) == 0); // "Stop converting?" is open now and then
            std::vector<std::pair<FakeRunner*, int>> running;
            for (const auto& [row, runner] : world.runners) {
                for (const int job : runner->ranges) {
                    running.emplace_back(runner, job);
                }
                if (runner->pdf) {
                    running.emplace_back(runner, -1);
                }
            }
            ASSERT_LE(running.size(), static_cast<std::size_t>(world.jobs));
            if (round == stopAt) {
                world.pool->stop(GhostscriptEnding::Stopped);
            } else if (!running.empty()) {
                const auto [runner, job] = running[pick(static_cast<int>(running.size()))];
                pick(10) == 0 ? runner->reachLimit() : runner->endJob(job, pick(41));
            }
        }
        EXPECT_EQ(world.ended.size(), world.sources.size()) << "each row ended once";
        EXPECT_EQ(finished.count(), 1);
        EXPECT_TRUE(world.runners.empty()) << "every runner was let go of";
    }
}

} // namespace
