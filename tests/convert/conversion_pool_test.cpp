// The real pool driven through fake runners: Ghostscripts that end when and
// how the test says, so scheduling, stops, limits and re-entrant hosts are
// checked in rows and random runs, with no Ghostscript and no wall clock.
#include "convert/conversion_pool.h"
#include "convert/conversion_port.h"
#include "convert/run_context.h"
#include "convert/sandbox.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>

using namespace velmora;

namespace {

class FakeRunner;

// The pool, its context, and every fake runner it made, with a port that
// records and may act as a host acts (stop the run from inside a report).
struct World : ConversionPort {
    explicit World(int rows, int jobs) {
        for (int row = 1; row <= rows; ++row) {
            sources.append(QStringLiteral("/in/%1.ps").arg(row));
        }
        pool = std::make_unique<ConversionPool>(
            context, sources, jobs,
            [this](int row, const QString& source, FileEvents& events)
                -> std::unique_ptr<FileRunner> { return makeRunner(row, source, events); });
    }
    std::unique_ptr<FileRunner> makeRunner(int row, const QString& source, FileEvents& events);

    // ConversionPort
    void progressed(const RunProgress&) override {}
    void fileEnded(const FileOutcome& outcome) override {
        ended.append(outcome);
        if (onEnded) {
            onEnded(outcome);
        }
    }
    void problem(const Problem&) override {
        if (onProblem) {
            onProblem();
        }
    }

    // Lets the pool take what it was told, as the event loop would.
    void turn() {
        for (int i = 0; i < 4; ++i) {
            QCoreApplication::processEvents();
        }
    }

    QStringList sources;
    Sandbox sandbox = Sandbox::none({}, {});
    RunContext context{WorkLayout(QStringLiteral("/nonexistent")),
                       sandbox,
                       *this,
                       {},
                       OutputChoice::None,
                       {},
                       75,
                       nullptr,
                       PathStyle::Posix};
    std::unique_ptr<ConversionPool> pool;
    std::map<int, FakeRunner*> runners; // alive, by row
    std::set<int> cantTakeIn;           // rows whose source cannot be read
    std::set<int> fillsTheDisk;         // rows whose delivery finds the disk full
    std::set<int> problemAtStart;       // rows whose start reports a failed step
    std::function<void()> onProblem;
    std::function<void(const FileOutcome&)> onEnded;
    QList<FileOutcome> ended;
    bool tearingDown = false;
};

class FakeRunner : public FileRunner {
public:
    FakeRunner(World& world, int row, const QString& source, FileEvents& events)
        : m_world(world), m_row(row), m_events(events) {
        m_outcome.source = source;
        world.runners[row] = this;
    }
    ~FakeRunner() override {
        EXPECT_TRUE(m_world.tearingDown || !isRunning())
            << "row " << m_row << " let go of while its Ghostscripts run";
        m_world.runners.erase(m_row);
    }

    bool start() override {
        const InCall call(*this);
        if (m_world.problemAtStart.count(m_row) != 0) {
            m_world.context.port.problem({});
        }
        if (m_world.cantTakeIn.count(m_row) != 0) {
            m_outcome.failure = FileFailure::of(FileFailure::Kind::Unreadable);
            return false;
        }
        m_pdfRunning = true;
        return true;
    }
    void startRange(int index, PageRange) override {
        const InCall call(*this);
        EXPECT_FALSE(m_stopped) << "a range started after its file was stopped";
        m_ranges.insert(index);
    }
    void deliver(const RowResults& results) override {
        const InCall call(*this);
        EXPECT_FALSE(isRunning()) << "row " << m_row << " delivered while its Ghostscripts run";
        delivered = results;
        if (m_world.fillsTheDisk.count(m_row) != 0) {
            m_outcome.failure = FileFailure::of(FileFailure::Kind::DiskNearlyFull);
        } else if (results.limitReached) {
            m_outcome.failure = FileFailure::timeLimit(std::chrono::seconds(1));
        }
    }
    void stop(GhostscriptEnding ending) override {
        EXPECT_EQ(m_inCall, 0) << "row " << m_row << " stopped from inside its own call";
        m_stopped = true;
        m_outcome.failure = FileFailure::fromEnding(ending);
    }
    bool isRunning() const override { return m_pdfRunning || !m_ranges.empty(); }
    double progress() const override { return 0; }
    const FileOutcome& outcome() const override { return m_outcome; }

    // What the test makes its Ghostscripts do.
    void endPdf(int pages) {
        m_pdfRunning = false;
        m_events.pdfEnded(m_row, m_stopped ? 0 : pages, {});
        settleIfStopped();
    }
    void endRange(int index) {
        m_ranges.erase(index);
        m_events.rangeEnded(m_row, index, {});
        settleIfStopped();
    }
    void reachLimit() { m_events.limitReached(m_row); }
    // A running Ghostscript, as (range, -1 for the PostScript stage).
    std::vector<int> jobs() const {
        std::vector<int> all(m_ranges.begin(), m_ranges.end());
        if (m_pdfRunning) {
            all.push_back(-1);
        }
        return all;
    }
    void endJob(int job, int pages) { job < 0 ? endPdf(pages) : endRange(job); }

    std::optional<RowResults> delivered;

private:
    struct InCall {
        explicit InCall(FakeRunner& runner) : m_runner(runner) { ++runner.m_inCall; }
        ~InCall() { --m_runner.m_inCall; }
        FakeRunner& m_runner;
    };
    void settleIfStopped() {
        if (m_stopped && !isRunning()) {
            m_events.settled(m_row);
        }
    }

    World& m_world;
    int m_row;
    FileEvents& m_events;
    FileOutcome m_outcome;
    bool m_pdfRunning = false;
    std::set<int> m_ranges;
    bool m_stopped = false;
    int m_inCall = 0;
};

std::unique_ptr<FileRunner> World::makeRunner(int row, const QString& source, FileEvents& events) {
    return std::make_unique<FakeRunner>(*this, row, source, events);
}

// Each row's outcome came once, in row order, and the run ended.
void ExpectOneOutcomePerRow(const World& world, QSignalSpy& finished) {
    ASSERT_EQ(world.ended.size(), world.sources.size());
    for (qsizetype i = 0; i < world.sources.size(); ++i) {
        EXPECT_EQ(world.ended[i].source, world.sources[i]) << "outcomes in row order";
    }
    EXPECT_EQ(finished.count(), 1);
}

// Random runs: Ghostscripts end in an order the seed chooses, documents run
// out of time, the user stops; whatever happens, no runner is let go of
// while its Ghostscripts run, none is stopped inside its own call, nothing
// starts for a stopped or late file, and every row ends once, in order.
TEST(ConversionPool, RandomRunsEndEveryRowOnceAndNeverLetGoOfARunningFile) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](int count) { return static_cast<int>(random() % count); };
        World world(pick(12), 1 + pick(4));
        SCOPED_TRACE(testing::Message()
                     << "seed " << seed << ", " << world.sources.size() << " rows");
        QSignalSpy finished(world.pool.get(), &ConversionPool::finished);
        const int stopAt = pick(3) == 0 ? pick(40) : -1;
        world.pool->start();
        for (int round = 0; finished.isEmpty(); ++round) {
            ASSERT_LT(round, 2000) << "the run never ends";
            world.turn();
            if (round == stopAt) {
                world.pool->stop(GhostscriptEnding::Stopped);
                continue;
            }
            std::vector<std::pair<FakeRunner*, int>> running;
            for (const auto& [row, runner] : world.runners) {
                for (const int job : runner->jobs()) {
                    running.emplace_back(runner, job);
                }
            }
            if (running.empty()) {
                continue;
            }
            const auto [runner, job] = running[pick(static_cast<int>(running.size()))];
            if (pick(10) == 0) {
                runner->reachLimit();
            } else {
                runner->endJob(job, pick(30));
            }
        }
        ExpectOneOutcomePerRow(world, finished);
        EXPECT_TRUE(world.runners.empty()) << "every runner was let go of";
    }
}

// The hosts' ways into a step, and the engine's own stops, each a row.
TEST(ConversionPool, StopsAskedInsideAStepWaitForTheStepToEnd) {
    const struct Row {
        const char* why;
        std::set<int> problemAtStart;
        std::set<int> fillsTheDisk;
        // The host's answer to a problem report: stop, as the window's
        // error box or a closing window does.
        bool stopOnProblem;
        QList<FileFailure::Kind> endings; // by row
    } rows[] = {
        {"a host stops the run when row 2 reports a problem while starting",
         {2},
         {},
         true,
         {FileFailure::Kind::Stopped, FileFailure::Kind::Stopped, FileFailure::Kind::Stopped}},
        {"the disk is full after row 1's delivery: the rest are skipped with that reason",
         {},
         {1},
         false,
         {FileFailure::Kind::DiskNearlyFull, FileFailure::Kind::DiskNearlyFull,
          FileFailure::Kind::DiskNearlyFull}},
        {"a problem the host only shows stops nothing",
         {1},
         {},
         false,
         {FileFailure::Kind::None, FileFailure::Kind::None, FileFailure::Kind::None}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        World world(3, 2);
        world.problemAtStart = row.problemAtStart;
        world.fillsTheDisk = row.fillsTheDisk;
        if (row.stopOnProblem) {
            world.onProblem = [&] { world.pool->stop(GhostscriptEnding::Stopped); };
        }
        QSignalSpy finished(world.pool.get(), &ConversionPool::finished);
        world.pool->start();
        for (int round = 0; finished.isEmpty(); ++round) {
            ASSERT_LT(round, 100) << "the run never ends";
            world.turn();
            if (!world.runners.empty()) {
                FakeRunner& first = *world.runners.begin()->second;
                const std::vector<int> jobs = first.jobs();
                if (!jobs.empty()) {
                    first.endJob(jobs.front(), 1);
                }
            }
        }
        ExpectOneOutcomePerRow(world, finished);
        QList<FileFailure::Kind> endings;
        for (const FileOutcome& outcome : world.ended) {
            endings.append(outcome.failure.kind);
        }
        EXPECT_EQ(endings, row.endings);
    }
}

// A document out of time: no range of it starts any more, the running ones
// end in their own time and order, and it is delivered once they have, told
// that its limit was reached; an intake failure, a held run and a source
// that cannot be read ride along.
TEST(ConversionPool, ALateDocumentIsDeliveredOnceItsRunningRangesHaveEnded) {
    World world(3, 4);
    world.cantTakeIn = {3};
    QSignalSpy finished(world.pool.get(), &ConversionPool::finished);
    world.pool->start();
    world.turn();
    FakeRunner& late = *world.runners.at(1);
    late.endPdf(40); // shared over the 3 free jobs (row 2's stage runs)
    world.turn();
    ASSERT_EQ(late.jobs().size(), 3u);
    world.pool->hold(true); // "Stop converting?" is open: deliveries go on
    world.runners.at(2)->endPdf(0);
    late.reachLimit();
    late.endRange(2);
    late.endRange(1);
    world.turn();
    EXPECT_FALSE(late.delivered) << "range 0 still runs";
    EXPECT_TRUE(world.ended.isEmpty()) << "nor is row 2 delivered before it";
    late.endRange(0);
    world.turn();
    world.pool->hold(false);
    world.turn();
    ExpectOneOutcomePerRow(world, finished);
    EXPECT_EQ(world.ended[0].failure.kind, FileFailure::Kind::TimeLimit);
    EXPECT_EQ(world.ended[2].failure.kind, FileFailure::Kind::Unreadable);
}

} // namespace
