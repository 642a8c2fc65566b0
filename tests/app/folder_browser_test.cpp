#include "app/folder_browser.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::RecordingPrompter;

TEST(FolderBrowser, OpensAtTheStartFolderOnlyWhenItExists) {
    QTemporaryDir dir;
    const struct {
        QString start;
        QString shownAt;
        const char* reason;
    } rows[] = {
        {dir.path(), dir.path(), "an existing folder is where the picker opens"},
        {QString(), QString(), "first use: the picker's own default"},
        {dir.filePath(QStringLiteral("gone")), QString(), "a vanished folder is no error"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        RecordingPrompter prompter;
        BrowseForFolder(prompter, QStringLiteral("Please select folder:"), row.start);
        ASSERT_EQ(prompter.boxes.size(), 1);
        EXPECT_EQ(prompter.boxes.front().kind, QStringLiteral("pickFolder"));
        EXPECT_EQ(prompter.boxes.front().title, QStringLiteral("Please select folder:"));
        EXPECT_EQ(prompter.boxes.front().preset, row.shownAt);
    }
}

TEST(FolderBrowser, GivesAnAbsolutePathWithoutTrailingSeparatorExceptRoot) {
    QTemporaryDir dir;
    const struct {
        QString picked;
        QString result;
        const char* reason;
    } rows[] = {
        {QString(), QString(), "cancel gives the empty text"},
        {dir.path(), dir.path(), "a folder as the dialog gives it"},
        {dir.path() + QStringLiteral("/"), dir.path(), "a trailing separator is dropped"},
        {QStringLiteral("/"), QStringLiteral("/"), "the root keeps its separator"},
        {dir.path() + QStringLiteral("/./x/.."), dir.path(), "the path is tidied"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        RecordingPrompter prompter;
        prompter.folderAnswers.push_back(row.picked);
        EXPECT_EQ(BrowseForFolder(prompter, QStringLiteral("t"), QString()), row.result);
    }
}
