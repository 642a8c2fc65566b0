// A stop never waits on the caller's thread; after ended() nothing the child started lives.
#include "convert/process_group.h"
#include "support/conversion_harness.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using test::ProcessesWorkingIn;

TEST(ProcessTreeStop, NeverWaitsAndLeavesNothing) {
    const struct Row {
        const char* script;
        bool ignoresTerm; // still there when the stop returns: it ends by SIGKILL
        const char* why;
    } rows[] = {
        {"exec sleep 60", false, "a child that ends on SIGTERM"},
        {"trap '' TERM; echo up; while :; do sleep 0.05; done", true,
         "a child that ignores SIGTERM ends by SIGKILL, after the grace"},
        {"setsid sh -c \"trap '' TERM; echo up; while :; do sleep 0.05; done\" & exec sleep 60",
         true, "a grandchild in a session of its own, found by its working folder"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        QTemporaryDir folder;
        QProcess child;
        child.setWorkingDirectory(folder.path());
        RunInOwnProcessGroup(child);
        child.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QLatin1String(row.script)});
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(!row.ignoresTerm || child.waitForReadyRead()) << "its trap is set";
        ProcessTreeStop stop(child, folder.path());
        QSignalSpy ended(&stop, &ProcessTreeStop::ended);
        EXPECT_FALSE(stop.isOver()) << "the end comes from the event loop";
        EXPECT_TRUE(!row.ignoresTerm || ProcessesWorkingIn(folder.path()) > 0) << "it did not wait";
        ASSERT_TRUE(ended.wait(10000));
        EXPECT_EQ(child.state(), QProcess::NotRunning);
        EXPECT_EQ(ProcessesWorkingIn(folder.path()), 0) << "nothing works in the folder any more";
    }
}
