// The folder picker behind "..." and "Add All": where it opens and what it gives.
#include "app/folder_browser.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

TEST(FolderBrowser, OpensAtAStartFolderThatIsThereAndGivesATidyAbsolutePath) {
    QTemporaryDir dir;
    const QString gone = dir.filePath("gone");
    const struct {
        QString start, opensAt;
        QString picked, gives;
        const char* reason;
    } rows[] = {
        {dir.path(), dir.path(), dir.path(), dir.path(), "an existing folder is where it opens"},
        {"", "", "", "", "first use: the picker's own default; cancel gives the empty text"},
        {gone, "", dir.path() + "/", dir.path(), "a vanished start is no error; no closing /"},
        {"", "", "/", "/", "the root keeps its separator"},
        {"", "", dir.path() + "/./x/..", dir.path(), "the path is tidied"},
    };
    for (const auto& row : rows) {
        test::RecordingPrompter prompter;
        prompter.folderAnswers.push_back(row.picked);
        EXPECT_EQ(BrowseForFolder(prompter, "Please select folder:", row.start), row.gives)
            << row.reason;
        ASSERT_EQ(prompter.boxes.size(), 1);
        EXPECT_EQ(prompter.boxes[0].kind + '|' + prompter.boxes[0].title + '|' +
                      prompter.boxes[0].preset,
                  "pickFolder|Please select folder:|" + row.opensAt)
            << row.reason;
    }
}
