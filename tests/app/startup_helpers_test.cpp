// What the window uses that needs no window: its title, the desktop folder,
// whether a path is there, the hand pointer's cursor file and the folder
// picker.
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

TEST(StartupHelpers, TheApplicationTitleLosesWordsFromItsEnd) {
    const struct {
        const char* name;
        const char* title;
        const char* reason;
    } rows[] = {
        {"Velmora", "Velmora", "a single word keeps it"},
        {"Alpha Beta Gamma Delta", "Alpha Beta Gamma", "a short name loses exactly its last word"},
        {"Velmora PostScript to JPEG Converter for the Desktop Edition",
         "Velmora PostScript to JPEG Converter for", "until 40 characters or fewer; 40 stays"},
        {"Averyveryveryveryveryveryveryverylongsingleword",
         "Averyveryveryveryveryveryveryverylongsingleword", "the title is never empty"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ApplicationTitleFor(row.name), row.title) << row.reason;
    }
}

TEST(StartupHelpers, TheDesktopFolderIsThereWithAClosingSeparator) {
    const QString desktop = GetDesktopFolder();
    EXPECT_TRUE(desktop.endsWith(QDir::separator()) && QDir(desktop).exists())
        << qPrintable(desktop);
    QTemporaryDir dir;
    const QString file = test::WriteFile(dir.filePath("a.ps"), {});
    for (const QString& path : {file, dir.path(), dir.filePath("missing"), QString()}) {
        EXPECT_EQ(PathExists(path), path == file || path == dir.path()) << qPrintable(path);
    }
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
    EXPECT_THROW(LoadCursorFile(test::WriteFile(dir.filePath("HAND-M.CUR"), "not a picture")),
                 Failure);
}

// Where it opens and the cancel are seen by "Add All" in the window's tests.
TEST(FolderBrowser, OpensAtAStartFolderThatIsThereAndGivesATidyAbsolutePath) {
    QTemporaryDir dir;
    const struct {
        QString start, opensAt, picked, gives;
        const char* reason;
    } rows[] = {
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
