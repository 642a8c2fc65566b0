// Programs on Windows: children in job objects of their own, our scripts
// whatever the work folder is called, velmora-convert.exe's words, and the
// window's parts only Windows has (its style, the taskbar bar, the registry).
#include "app/settings_store.h"
#include "app/taskbar_list_button_windows.h"
#include "app/taskbar_progress.h"
#include "base/unique_handle_windows.h"
#include "convert/process_group.h"
#include "convert/sandbox.h"
#include "convert/stage_scripts.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/test_files.h"
#include "support/wine_harness.h"

#include <QApplication>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>

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

TEST(WindowOnWindows, HasTheSystemsStyleAndItsTaskbarButtonTakesTheBar) {
    ASSERT_EQ(QGuiApplication::platformName(), u"windows"_qs) << "run with QT_QPA_PLATFORM=windows";
    EXPECT_EQ(QApplication::style()->name(), u"windowsvista"_qs) << "the style plugin beside it";
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const HWND native = reinterpret_cast<HWND>(window.winId());
    TaskbarListButton button([native] { return native; });
    {
        TaskbarProgress bar(button); // through a whole run and the program's end
        bar.show(0);
        bar.fileFailed();
        bar.show(1);
    }
    EXPECT_TRUE(::IsWindowVisible(native)) << "whatever the shell took, the window is unharmed";
    TaskbarListButton windowless([] { return HWND{}; });
    EXPECT_FALSE(windowless.setProgressState(TaskbarState::Normal)) << "no window: refused";
    EXPECT_FALSE(windowless.setProgressValue(1, TaskbarProgress::kSteps));
}

TEST(WindowOnWindows, SettingsAreTextValuesUnderTheUsersKey) {
    const struct {
        const char* key;
        const char* value;
        const char* why;
    } rows[] = {
        {"JPGQuality", "75", "a number is kept as text"},
        {"Output Folder", "C:\\Zoë\\日本語, neu\\",
         "beyond Latin-1; a comma, a space, a closing \\"},
        {"LastFolder", "", "an empty text stays empty"},
    };
    test::RecordingPrompter prompter;
    for (const auto& row : rows) {
        const QString key = QString::fromUtf8(row.key);
        const QString value = QString::fromUtf8(row.value);
        SettingsStore(prompter).SaveSetting(key, value);
        EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Dravik\\Dravik\\Velmora",
                                 WideText(key), RRF_RT_REG_SZ, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS)
            << row.why << ": a text value under the user's key";
        EXPECT_EQ(SettingsStore(prompter).GetSetting(key, u"default"_qs), value) << row.why;
    }
    EXPECT_EQ(SettingsStore(prompter).GetSetting(u"NeverWritten"_qs, u"ps"_qs), u"ps"_qs);
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

} // namespace
