// What the window uses that needs no window: the desktop folder, whether a
// path is there, the hand pointer's cursor file and the folder picker.
#include "app/cursor_file.h"
#include "app/folder_browser.h"
#include "app/startup_helpers.h"
#include "base/failure.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

TEST(StartupHelpers, TheDesktopFolderIsThereWithAClosingSeparator) {
    const QString desktop = GetDesktopFolder();
    EXPECT_TRUE(desktop.endsWith(QDir::separator()) && QDir(desktop).exists())
        << qPrintable(desktop);
    QTemporaryDir dir;
    EXPECT_TRUE(PathExists(test::WriteFile(dir.filePath("a.ps"), {})));
    EXPECT_TRUE(PathExists(dir.path()));
    EXPECT_FALSE(PathExists(dir.filePath("missing")));
    EXPECT_FALSE(PathExists(QString()));
}

TEST(CursorFile, TheShippedHandPointsWithItsFingertipAndWhatIsNoCursorIsRefused) {
    const QString hand = QCoreApplication::applicationDirPath() + "/HAND-M.CUR";
    EXPECT_EQ(CursorHotSpot(test::ReadFile(hand)), QPoint(11, 0));
    const QCursor cursor = LoadCursorFile(hand);
    EXPECT_EQ(cursor.hotSpot(), QPoint(11, 0));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    QByteArray icon(22, '\0');
    icon[2] = 1; // an icon with one picture, not a cursor
    icon[4] = 1;
    for (const QByteArray& file : {QByteArray(), QByteArray(22, '\0'), icon}) {
        EXPECT_EQ(CursorHotSpot(file), std::nullopt) << file.size();
    }
    QTemporaryDir dir;
    try {
        LoadCursorFile(test::WriteFile(dir.filePath("HAND-M.CUR"), "not a picture at all"));
        ADD_FAILURE() << "a text file loaded as a cursor";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), 481);
    }
}

TEST(FolderBrowser, OpensAtAStartFolderThatIsThereAndGivesATidyAbsolutePath) {
    QTemporaryDir dir;
    const struct {
        QString start, opensAt, picked, gives;
        const char* reason;
    } rows[] = {
        {dir.path(), dir.path(), dir.path(), dir.path(), "an existing folder is where it opens"},
        {"", "", "", "", "first use: the picker's own default; cancel gives the empty text"},
        {dir.filePath("gone"), "", dir.path() + "/", dir.path(), "a vanished start is no error"},
        {"", "", "/", "/", "the root keeps its separator"},
        {"", "", dir.path() + "/./x/..", dir.path(), "the path is tidied"},
    };
    for (const auto& row : rows) {
        test::RecordingPrompter prompter;
        prompter.folderAnswers.push_back(row.picked);
        EXPECT_EQ(BrowseForFolder(prompter, "Please select folder:", row.start), row.gives)
            << row.reason;
        EXPECT_EQ(prompter.boxes.value(0).title + '|' + prompter.boxes.value(0).preset,
                  "Please select folder:|" + row.opensAt)
            << row.reason;
    }
}
