#include "base/located_trap.h"
#include "filelist/dropped_paths.h"
#include "filelist/folder_files.h"
#include "filelist/folder_scanner.h"
#include "support/fake_event_pump.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// A tree in a temporary folder; files are given relative to it.
struct FolderFilesTest : ::testing::Test {
    test::TempTree tree;
    test::RecordingPrompter prompter;
    test::FakeEventPump pump;
    ScanContext context{prompter, pump};
    LocatedTrap<report_location::AddFolder> addFolder{prompter};
    ErrorTrap::BoundStep trap = addFolder.bind(report_location::AddFolder::kListFolderFiles);

    QString path(const QString& rel) const { return tree.path(rel); }
    void touchAll(const QStringList& rels) const { tree.touchAll(rels); }
    void makeReadOnly(const QString& rel) const {
        ASSERT_TRUE(QFile::setPermissions(path(rel), QFile::ReadOwner | QFile::ReadUser));
    }
    QStringList relative(const QStringList& rows) const { return tree.relative(rows); }
    QStringList collect(const QString& rel, const QString& extension) const {
        return relative(CollectFolderFiles(path(rel), extension, context, trap));
    }
};

TEST_F(FolderFilesTest, FolderFirstThenEachLevelOfSubfolders) {
    touchAll({"F/b.ps", "F/S1/s1.ps", "F/S1/T/t.ps", "F/S2/s2.ps", "F/a.ps"});
    EXPECT_EQ(collect("F", "ps"),
              (QStringList{"F/a.ps", "F/b.ps", "F/S1/s1.ps", "F/S2/s2.ps", "F/S1/T/t.ps"}));
}

TEST_F(FolderFilesTest, TheExtensionFiltersWithoutRegardToCase) {
    touchAll({"F/a.ps", "F/b.PS", "F/c.txt", "F/d.ps.txt", "F/noext"});
    EXPECT_EQ(collect("F", "ps"), (QStringList{"F/a.ps", "F/b.PS"}));
    EXPECT_EQ(collect("F", "txt"), (QStringList{"F/c.txt", "F/d.ps.txt"}));
    // "*" takes every file, one without an extension too.
    EXPECT_EQ(collect("F", "*"),
              (QStringList{"F/a.ps", "F/b.PS", "F/c.txt", "F/d.ps.txt", "F/noext"}));
}

TEST_F(FolderFilesTest, LeavesOutTildeNamesAndPlainHiddenFilesOnly) {
    // A dot-file is hidden: writable it is archive + hidden (34) and left
    // out; read-only it is 35 and kept; a link named with a dot carries the
    // reparse bit and is kept too.
    touchAll({"F/a.ps", "F/~temp.ps", "F/.hidden.ps", "F/.readonly.ps", "F/x~.ps"});
    makeReadOnly("F/.readonly.ps");
    ASSERT_TRUE(QFile::link(path("F/a.ps"), path("F/.linked.ps")));
    EXPECT_EQ(collect("F", "ps"),
              (QStringList{"F/.linked.ps", "F/.readonly.ps", "F/a.ps", "F/x~.ps"}));
}

TEST_F(FolderFilesTest, NothingFoundGivesNoRowAndNoMessage) {
    touchAll({"F/a.txt"});
    EXPECT_TRUE(collect("F", "ps").isEmpty());
    EXPECT_TRUE(collect("missing", "ps").isEmpty());
    ASSERT_TRUE(QDir().mkpath(path("E")));
    EXPECT_TRUE(DroppedRows(path("E"), context, trap).isEmpty()) << "an empty dropped folder";
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

// --- Dropped paths --------------------------------------------------------

struct DroppedFileCase {
    const char* reason;
    const char* dropped; // relative to the tree
};

class DroppedFileTest : public FolderFilesTest,
                        public ::testing::WithParamInterface<DroppedFileCase> {};

TEST_P(DroppedFileTest, IsOneRowExactlyAsDropped) {
    touchAll({"F/a.ps", "F/notes.txt"});
    const QString dropped = path(QString::fromUtf8(GetParam().dropped));
    EXPECT_EQ(DroppedRows(dropped, context, trap), QStringList{dropped}) << GetParam().reason;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DroppedFileTest,
    ::testing::Values(DroppedFileCase{"a PostScript file", "F/a.ps"},
                      DroppedFileCase{"no extension filter for dropped files", "F/notes.txt"},
                      DroppedFileCase{"no tidying of a doubled separator", "F//a.ps"},
                      DroppedFileCase{"no existence test", "F/gone.ps"}));

TEST_F(FolderFilesTest, ADroppedFolderGivesAllItsFilesLevelByLevel) {
    touchAll({"F/a.ps", "F/~tmp.ps", "F/.h.ps", "F/sub/b.ps", "F/readme", "F/c.jpg"});
    EXPECT_EQ(relative(DroppedRows(path("F"), context, trap)),
              (QStringList{"F/a.ps", "F/c.jpg", "F/readme", "F/sub/b.ps"}));
    // A folder dropped with its separator still gives single separators.
    EXPECT_EQ(relative(DroppedRows(path("F/"), context, trap)),
              (QStringList{"F/a.ps", "F/c.jpg", "F/readme", "F/sub/b.ps"}));
}

TEST_F(FolderFilesTest, ALinkToAFolderIsDroppedAsAFolder) {
    touchAll({"F/a.ps"});
    ASSERT_TRUE(QFile::link(path("F"), path("L")));
    EXPECT_TRUE(IsDroppedFolder(path("L")));
    EXPECT_EQ(relative(DroppedRows(path("L"), context, trap)), QStringList{"L/a.ps"});
    EXPECT_FALSE(IsDroppedFolder(path("F/a.ps")));
    EXPECT_FALSE(IsDroppedFolder(path("missing")));
}

} // namespace
