// Folders as Windows lists them: Unicode names, a junction, a loop through
// one, a drive's root. The tree and the drive R: are made on the host
// (make_link_tree.cmake) beside the tests.
#include "base/error_trap.h"
#include "base/folder_listing.h"
#include "base/folder_reader.h"
#include "base/located_trap.h"
#include "base/report_locations.h"
#include "base/unique_handle_windows.h"
#include "filelist/dropped_paths.h"
#include "filelist/file_attributes.h"
#include "filelist/folder_files.h"
#include "filelist/folder_scanner.h"
#include "support/fake_event_pump.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

QString tree(const QString& relative = {}) {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                    QStringLiteral("/link-tree/") + relative);
}

struct ListingRow {
    const char* folder;
    const char* pattern;
    QStringList names;
    const char* why;
};

class FilesInFolder : public ::testing::TestWithParam<ListingRow> {};

TEST_P(FilesInFolder, AsAddAllSeesThem) {
    const ListingRow& row = GetParam();
    EXPECT_EQ(GetFilesInFolder(tree(QString::fromUtf8(row.folder)), QString::fromUtf8(row.pattern)),
              row.names)
        << row.why;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FilesInFolder,
    ::testing::Values(ListingRow{"Zürich",
                                 "*.ps",
                                 {u"Straße.ps"_qs, u"日本語.PS"_qs},
                                 "case ignored beyond ASCII"},
                      ListingRow{"Zürich",
                                 "*.*",
                                 {u"notes.txt"_qs, u"Straße.ps"_qs, u"日本語.PS"_qs},
                                 "every file, sorted without regard to case"},
                      ListingRow{"Zürich", "STRASSE.PS", {}, "no folding of ß into SS"},
                      ListingRow{"", "*", {}, "folders and junctions are no files"},
                      ListingRow{"junction", "*", {}, "through a junction: its target's files"},
                      ListingRow{"missing", "*", {}, "a missing folder lists nothing"}));

TEST(FolderWalk, FollowsAJunctionOnceAndNeverLoops) {
    test::RecordingPrompter prompter;
    test::FakeEventPump pump;
    QStringList folders{tree()};
    GetSubDirectories2016(folders, true, ScanContext{prompter, pump});
    // "junction" comes first by name and leads to "target", which is then
    // the same folder; "back" leads to the top again.
    EXPECT_EQ(folders, (QStringList{tree(), tree(u"junction\\"_qs), tree(u"Zürich\\"_qs),
                                    tree(u"junction\\inner\\"_qs)}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

struct FactRow {
    const char* path;
    bool exists;
    unsigned word;
    const char* why;
};

class PathFacts : public ::testing::TestWithParam<FactRow> {};

TEST_P(PathFacts, FromTheSystem) {
    const FactRow& row = GetParam();
    const QString path = tree(QString::fromUtf8(row.path));
    EXPECT_EQ(FileExists(path), row.exists) << row.why;
    EXPECT_EQ(AttributeWord(path), row.word) << row.why;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PathFacts,
    ::testing::Values(FactRow{"Zürich\\Straße.ps", true, ArchiveAttribute, "a plain file"},
                      FactRow{"Zürich", false, DirectoryAttribute, "a folder is no file"},
                      FactRow{"junction", false, DirectoryAttribute | ReparsePointAttribute,
                              "a junction is a folder and a reparse point"},
                      FactRow{"nothing.ps", false, 0, "missing"}));

TEST(FolderIds, AJunctionLeadsToItsTarget) {
    const std::optional<FolderId> target = FolderIdOf(tree(u"target"_qs));
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(FolderIdOf(tree(u"junction"_qs)), target);
    EXPECT_NE(FolderIdOf(tree(u"Zürich"_qs)), target);
    EXPECT_FALSE(FolderIdOf(tree(u"Zürich\\Straße.ps"_qs)).has_value())
        << "a file has no folder id";
}

// Add All and a drop on a drive's root: the root is walked, each file is
// named with one backslash after the drive, and a hidden file is left out
// for its attribute word 34 whatever its name; 38 (hidden, system) stays.
TEST(DriveRoot, IsWalkedIntoSingleBackslashRowsWithoutHiddenFiles) {
    constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(::SetFileAttributesW(L"R:\\h.ps", kHidden));
    ASSERT_TRUE(::SetFileAttributesW(L"R:\\s.ps", kHidden | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_EQ(AttributeWord(u"R:\\h.ps"_qs), ArchiveAttribute | HiddenAttribute);
    test::RecordingPrompter prompter;
    test::FakeEventPump pump;
    LocatedTrap<report_location::AddFolder> addFolder{prompter};
    const ErrorTrap::BoundStep trap = addFolder.bind(report_location::AddFolder::kListFolderFiles);
    const ScanContext context{prompter, pump};
    const QStringList rows{u"R:\\a.ps"_qs, u"R:\\s.ps"_qs, u"R:\\Zoë\\b.ps"_qs};
    EXPECT_EQ(CollectFolderFiles(u"R:\\"_qs, u"ps"_qs, context, trap), rows) << "Add All";
    EXPECT_EQ(DroppedRows(u"R:\\"_qs, context, trap), rows + QStringList{u"R:\\Zoë\\c.txt"_qs})
        << "a dropped drive";
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

} // namespace
