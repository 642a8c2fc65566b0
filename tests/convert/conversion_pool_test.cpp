// The real pool and plan driven through fake runners in random runs: the
// seed chooses the order Ghostscripts end in, documents out of time,
// sources that cannot be read, disks that fill, a host that stops the run
// from inside a report, and the user who is asked whether to stop and
// stops. The fakes check every step the pool asks of them.
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

class FakeRunner;

// The pool and its fake runners, with a port that checks the rows' ends
// and stops the run when told of a problem, as a host may.
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

class FakeRunner : public FileRunner {
public:
    FakeRunner(World& world, int row, FileEvents& events) : w(world), m_row(row), m_events(events) {
        m_outcome.source = world.sources.at(row - 1);
        w.runners[row] = this;
    }
    ~FakeRunner() override {
        EXPECT_FALSE(isRunning()) << "row " << m_row << " let go of while its Ghostscripts run";
        w.runners.erase(m_row);
    }
    bool start() override {
        m_starting = true;
        if (w.problemAtStart.count(m_row) != 0) {
            w.problem({});
        }
        m_starting = false;
        m_pdf = w.unreadable.count(m_row) == 0;
        m_outcome.failure.kind = m_pdf ? FileFailure::Kind::None : FileFailure::Kind::EmptyFile;
        return m_pdf;
    }
    void startRange(int index, PageRange) override {
        EXPECT_TRUE(!m_stopped && !m_limited && m_pages > 0) << "a range started for nothing";
        EXPECT_TRUE(m_started.insert(index).second) << "range " << index << " started twice";
        m_ranges.insert(index);
    }
    void deliver(const RowResults& results) override {
        EXPECT_FALSE(isRunning()) << "row " << m_row << " delivered while its Ghostscripts run";
        EXPECT_EQ(results.limitReached, m_limited);
        // The ranges cover the document once, from page 1 to its open end,
        // each worth a Ghostscript of its own, one for each job at most.
        const QList<PageRange>& ranges = results.ranges;
        EXPECT_LE(ranges.size(), w.jobs);
        for (qsizetype i = 0; i < ranges.size() && !m_limited; ++i) {
            EXPECT_EQ(ranges[i].first, i == 0 ? 1 : ranges[i - 1].last + 1) << "a gap or overlap";
            EXPECT_EQ(ranges[i].last < 0, i == ranges.size() - 1) << "the last range is open";
            const int last = ranges[i].last < 0 ? m_pages : ranges[i].last;
            EXPECT_TRUE(ranges.size() == 1 || last - ranges[i].first >= 3) << "a range too short";
        }
        if (w.fillsTheDisk.count(m_row) != 0) {
            m_outcome.failure = FileFailure::of(FileFailure::Kind::DiskNearlyFull);
        }
    }
    void stop(GhostscriptEnding ending) override {
        EXPECT_FALSE(m_starting) << "row " << m_row << " stopped from inside its own call";
        m_stopped = true;
        m_outcome.failure = FileFailure::fromEnding(ending);
    }
    bool isRunning() const override { return m_pdf || !m_ranges.empty(); }
    double progress() const override { return 0; }
    const FileOutcome& outcome() const override { return m_outcome; }

    // Its running Ghostscripts: its ranges, and -1 for the PostScript stage.
    std::vector<int> jobs() const {
        std::vector<int> all(m_ranges.begin(), m_ranges.end());
        if (m_pdf) {
            all.push_back(-1);
        }
        return all;
    }
    // Ends one of them; the PostScript stage reports `pages`.
    void endJob(int job, int pages) {
        if (job < 0) {
            m_pdf = false;
            m_pages = m_stopped ? 0 : pages;
            m_events.pdfEnded(m_row, m_pages, {});
        } else {
            m_ranges.erase(job);
            m_events.rangeEnded(m_row, job, {});
        }
        if (m_stopped && !isRunning()) {
            m_events.settled(m_row);
        }
    }
    // Its document is out of time: nothing more may start for it.
    void reachLimit() {
        m_limited = !m_stopped;
        m_events.limitReached(m_row);
    }

private:
    World& w;
    int m_row;
    FileEvents& m_events;
    FileOutcome m_outcome;
    bool m_pdf = false; // its PostScript stage runs
    int m_pages = 0;    // as its PostScript stage reported them
    std::set<int> m_ranges, m_started;
    bool m_stopped = false, m_starting = false, m_limited = false;
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
                for (const int job : runner->jobs()) {
                    running.emplace_back(runner, job);
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
