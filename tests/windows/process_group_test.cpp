// Children on Windows: each runs in a job object of its own, is stopped as a
// whole, and runs our scripts whatever the work folder's path holds.
#include "convert/process_group.h"
#include "convert/sandbox.h"
#include "convert/stage_scripts.h"
#include "support/test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

constexpr int kWaitMs = 10000;
constexpr unsigned long kPollMs = 10;
// Long enough for a process still running to write again.
constexpr unsigned long kSettleMs = 300;

// Runs a batch file from `jobFolder` the way the engine does; its exit code,
// or -1 when it did not end by itself.
int runScript(const QString& script, const QString& jobFolder, QString* printed = nullptr) {
    const Command command =
        Sandbox::none(QStringLiteral("C:/gs/bin/gswin64c.exe"), {})
            .wrap(script, jobFolder, {}, QProcessEnvironment::systemEnvironment());
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    process.setProcessEnvironment(command.environment);
    process.setWorkingDirectory(jobFolder);
    RunInOwnProcessGroup(process);
    process.start();
    if (!process.waitForFinished(kWaitMs) || process.exitStatus() != QProcess::NormalExit) {
        StopProcessGroup(process);
        return -1;
    }
    if (printed != nullptr) {
        *printed = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }
    return process.exitCode();
}

TEST(ProcessGroupWindows, ScriptsRunWhateverTheWorkFolderIsCalled) {
    const struct Row {
        const char* folder;
        const char* why;
    } rows[] = {
        {"work", "a plain name"},
        {"a & b", "a space and the command separator"},
        {"100% ^sure (x)", "percent, caret and brackets"},
    };
    for (const Row& row : rows) {
        QTemporaryDir base;
        const QString run = base.filePath(QString::fromLatin1(row.folder));
        const QString script = test::WriteFile(run + QStringLiteral("/scripts/s.bat"),
                                               QByteArray("@echo off\r\necho %") +
                                                   kGhostscriptVariable + "%\r\nexit /b 3\r\n");
        ASSERT_TRUE(QDir().mkpath(run + QStringLiteral("/file-1/pdf")));
        QString printed;
        EXPECT_EQ(runScript(script, run + QStringLiteral("/file-1/pdf"), &printed), 3) << row.why;
        EXPECT_EQ(printed, QStringLiteral("C:\\gs\\bin\\gswin64c.exe")) << row.why;
    }
}

TEST(ProcessGroupWindows, AStoppedChildLeavesNothingRunning) {
    QTemporaryDir dir;
    // The child starts a grandchild that appends to a file without end.
    test::WriteFile(dir.filePath(QStringLiteral("grandchild.bat")),
                    "@echo off\r\n:again\r\necho x>>tick.txt\r\ngoto again\r\n");
    const QString child =
        test::WriteFile(dir.filePath(QStringLiteral("child.bat")),
                        "@echo off\r\nstart /b cmd /d /c grandchild.bat\r\n:wait\r\ngoto wait\r\n");
    QProcess process;
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setArguments({QStringLiteral("/d"), QStringLiteral("/c"), QFileInfo(child).fileName()});
    process.setWorkingDirectory(dir.path());
    RunInOwnProcessGroup(process);
    process.start();
    const QString tick = dir.filePath(QStringLiteral("tick.txt"));
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo::exists(tick) && clock.elapsed() < kWaitMs) {
        QThread::msleep(kPollMs);
    }
    ASSERT_TRUE(QFileInfo::exists(tick)) << "the child ran and started its own";
    StopProcessGroup(process, dir.path());
    EXPECT_EQ(process.state(), QProcess::NotRunning);
    const qint64 size = QFileInfo(tick).size();
    QThread::msleep(kSettleMs);
    EXPECT_EQ(QFileInfo(tick).size(), size) << "the grandchild ended too";
    EXPECT_TRUE(QDir(dir.path()).removeRecursively()) << "no process holds a file there";
}

} // namespace
