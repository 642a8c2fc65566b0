// Programs on Windows: children in job objects of their own, our scripts
// whatever the work folder is called, and velmora-convert.exe's words.
#include "convert/process_group.h"
#include "convert/sandbox.h"
#include "convert/stage_scripts.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"
#include "support/wine_harness.h"

#include <QTemporaryDir>
#include <QThread>

using namespace velmora;

namespace {

TEST(ProcessGroupWindows, ScriptsRunWhateverTheWorkFolderIsCalled) {
    const struct {
        const char* folder;
        const char* why;
    } rows[] = {
        {"a & b", "a space and the command separator"},
        {"100% ^sure (x)", "percent, caret and brackets"},
    };
    for (const auto& row : rows) {
        QTemporaryDir base;
        const QString run = base.filePath(QString::fromUtf8(row.folder));
        const QString script = test::WriteFile(run + u"/scripts/s.bat"_qs,
                                               QByteArray("@echo off\r\necho %") +
                                                   kGhostscriptVariable + "%\r\nexit /b 3\r\n");
        const QString jobFolder = run + u"/file-1/pdf"_qs;
        ASSERT_TRUE(QDir().mkpath(jobFolder));
        const Command command =
            Sandbox::none(u"C:/gs/bin/gswin64c.exe"_qs, {})
                .wrap(script, jobFolder, {}, QProcessEnvironment::systemEnvironment());
        QProcess process;
        process.setProgram(command.program);
        process.setArguments(command.arguments);
        process.setProcessEnvironment(command.environment);
        process.setWorkingDirectory(jobFolder);
        RunInOwnProcessGroup(process);
        const test::Ended ended = test::RunToEnd(process);
        EXPECT_EQ(ended.exitCode, 3) << row.why;
        EXPECT_EQ(ended.out.trimmed(), u"C:\\gs\\bin\\gswin64c.exe"_qs) << row.why;
    }
}

// The child starts a grandchild, and both work in "held": a running process
// holds its working folder, so that folder can go only once neither runs.
TEST(ProcessGroupWindows, AStoppedChildLeavesNothingRunning) {
    constexpr unsigned long kPollMs = 10;
    QTemporaryDir dir;
    QDir folder(dir.path());
    ASSERT_TRUE(folder.mkdir(u"held"_qs));
    test::WriteFile(dir.filePath(u"grandchild.bat"_qs),
                    "@echo off\r\necho ready>..\\ready.txt\r\n:again\r\ngoto again\r\n");
    test::WriteFile(dir.filePath(u"child.bat"_qs), "@echo off\r\ncd held\r\n"
                                                   "start /b cmd /d /c ..\\grandchild.bat\r\n"
                                                   ":wait\r\ngoto wait\r\n");
    QProcess process;
    process.setProgram(u"cmd.exe"_qs);
    process.setArguments({u"/d"_qs, u"/c"_qs, u"child.bat"_qs});
    process.setWorkingDirectory(dir.path());
    RunInOwnProcessGroup(process);
    process.start();
    ASSERT_TRUE(process.waitForStarted(-1));
    // Polled with no bound of its own: ctest's timeout ends a hang.
    while (!QFileInfo::exists(dir.filePath(u"ready.txt"_qs))) {
        QThread::msleep(kPollMs);
    }
    EXPECT_FALSE(folder.rmdir(u"held"_qs)) << "the check below sees a running process";
    StopProcessGroup(process, dir.path());
    EXPECT_EQ(process.state(), QProcess::NotRunning);
    EXPECT_TRUE(folder.rmdir(u"held"_qs)) << "the grandchild ended with the child";
}

// Without Ghostscript on the PATH: a missing path is named at once, in Unicode,
// and the run ends saying where Windows users get Ghostscript.
TEST(VelmoraConvertExe, NamesABadPathAndWhereWindowsUsersGetGhostscript) {
    QProcess process;
    process.setProgram(QCoreApplication::applicationDirPath() + u"/velmora-convert.exe"_qs);
    process.setArguments({u"C:\\no such folder\\Zoë.ps"_qs});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"PATH"_qs, u"C:\\windows\\system32"_qs);
    process.setProcessEnvironment(environment);
    const test::Ended ended = test::RunToEnd(process);
    EXPECT_EQ(ended.exitCode, 1);
    for (const QString& said :
         {u"no such folder\\Zoë.ps: "_qs, u"was not found"_qs, u"Ghostscript for Windows"_qs,
          u"https://ghostscript.com/releases/gsdnld.html"_qs}) {
        EXPECT_TRUE(ended.err.contains(said)) << qPrintable(ended.err);
    }
}

} // namespace
