// The walk below a folder, the files "Add All" and a drop take from it, and
// the attribute words that decide what is left out.
#include "base/failure.h"
#include "base/located_trap.h"
#include "filelist/dropped_paths.h"
#include "filelist/file_attributes.h"
#include "filelist/folder_files.h"
#include "filelist/folder_scanner.h"
#include "support/fake_event_pump.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/temp_tree.h"
#include "support/text.h"
#include "support/unprivileged_user.h"

#include <QProcess>

#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using test::split;

namespace {

constexpr const char* kExampleTree = "A/B/D/G,A/C/E,A/C/F";
constexpr const char* kExampleOrder = "A/,A/B/,A/C/,A/B/D/,A/C/E/,A/C/F/,A/B/D/G/";
constexpr qint64 kOutOfStringSpace = 14;

struct WalkTest : ::testing::Test {
    // Folders, and links written "link>target", relative to the tree.
    void build(const char* entries) const {
        for (const QString& entry : split(entries)) {
            const QStringList link = entry.split(QLatin1Char('>'));
            if (link.size() == 2) {
                fx.link(fx.path(link[1]), link[0]);
            } else {
                fx.mkdirs({entry});
            }
        }
    }
    // The walk from the start items, each relative to the tree.
    QStringList walk(const char* starts, bool recurse = true) {
        QStringList folders;
        for (const QString& start : split(starts)) {
            folders.append(fx.item(start));
        }
        GetSubDirectories2016(folders, recurse, context);
        return fx.relative(folders);
    }

    // Every walk here is quiet unless a test expects its reports.
    void TearDown() override { EXPECT_EQ(prompter.boxes.size(), reports); }

    test::TempTree fx;
    test::RecordingPrompter prompter;
    test::FakeEventPump pump;
    ScanContext context{prompter, pump};
    qsizetype reports = 0;
};

TEST_F(WalkTest, WalksEachFolderOnceLevelAfterLevel) {
    fx.touch("file");
    const struct {
        const char* tree;
        const char* start;
        bool recurse;
        const char* vanish; // gone at the walk's first, second... yield
        const char* walked;
        const char* why;
    } rows[] = {
        {kExampleTree, "A", true, "", kExampleOrder, "breadth first"},
        {"", "A", false, "", "A/,A/B/,A/C/", "one level without recursion"},
        {"S/b,S/D,S/a2,S/C,S/.h", "S", true, "", "S/,S/.h/,S/a2/,S/b/,S/C/,S/D/",
         "subfolders sorted without regard to case"},
        // Unsupported: U+0000-U+001F, U+007F-U+009F and "?".
        {"U/日本語/下,U/Привет,U/über straße,U/a*b,U/\u00a0,U/😀,U/bad\x01/deep,U/\x1f,U/\x7f,"
         "U/\u0080,U/\u009f,U/what?/deep",
         "U", true, "", "U/,U/a*b/,U/\u00a0/,U/über straße/,U/Привет/,U/日本語/,U/😀/,U/日本語/下/",
         "names beyond ASCII walked; control characters and ? skipped"},
        {"L/real/sub,Out/in,L/twice>L/real,L/real/sub/up>L,L/out>Out,L/dangling>nothing,"
         "L/to-file>file",
         "L", true, "", "L/,L/out/,L/real/,L/out/in/,L/real/sub/",
         "a link is walked like its folder, once; a cycle ends; links to no folder skipped"},
        {"T/B", "T,T", true, "", "T/,T/,T/B/", "a start item named twice is walked once"},
        {"V1,V2,V3,Z/sub", "V1,V2,V3,Z", true, "V1,V2,V3", "Z/,Z/sub/",
         "folders gone before their listing are removed, quietly, and the walk goes on"},
        {"W,Y/sub", "W,Y,W", true, "W", "Y/,W/,Y/sub/",
         "a failed listing removes the first equal item only: the second was never listed"},
    };
    context.yieldIntervalMs = 0;
    for (const auto& row : rows) {
        build(row.tree);
        const QStringList vanish = split(row.vanish);
        pump.calls = 0;
        pump.hook = [&](int call) {
            if (call <= vanish.size()) {
                QDir(fx.path(vanish[call - 1])).removeRecursively();
            }
        };
        EXPECT_EQ(walk(row.start, row.recurse), split(row.walked)) << row.why;
    }
    pump.hook = {}; // it names the last row's folders, which are gone with the loop
    QStringList root{QStringLiteral("/")};
    GetSubDirectories2016(root, false, context);
    EXPECT_TRUE(root.startsWith("/") && root.contains("/usr/")) << "the root: one separator";
}

TEST_F(WalkTest, AChainBeyondPathMaxEndsQuietlyAtThePlatformLimit) {
    // Made through descriptors, since no path reaches its bottom; rm(1) removes it so.
    constexpr int kLevels = 20; // 20 x 256 bytes: well past PATH_MAX
    const std::string name(NAME_MAX, 'n');
    fx.mkdirs({"A"});
    int fd = ::open(QFile::encodeName(fx.path("A")).constData(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < kLevels && fd >= 0; ++level) {
        ::mkdirat(fd, name.c_str(), S_IRWXU);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(fd);
    QStringList folders{fx.item("A")};
    GetSubDirectories2016(folders, true, context);
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), fx.path("A")});
    const int usable = (PATH_MAX - 1 - QFile::encodeName(fx.item("A")).size()) / (NAME_MAX + 1);
    ASSERT_EQ(folders.size(), 1 + usable) << "every folder the kernel can reach is returned";
    EXPECT_LT(QFile::encodeName(folders.last()).size(), PATH_MAX);
}

TEST_F(WalkTest, FoldersWithoutPermissionAreRemovedQuietly) {
    const QStringList locked{"A/P1", "A/P2", "Locked"};
    build("A/P1/x,A/P2,A/Q/y,Locked");
    for (const QString& rel : locked) {
        ASSERT_TRUE(QFile::setPermissions(fx.path(rel), {}));
    }
    {
        const test::UnprivilegedUser user(fx.path());
        if (!user.denies()) {
            GTEST_SKIP() << "root could not act as another user, and root is never denied";
        }
        EXPECT_EQ(walk("A"), split("A/,A/Q/,A/Q/y/"));
        EXPECT_EQ(walk("Locked"), QStringList{});
    }
    for (const QString& rel : locked) {
        QFile::setPermissions(fx.path(rel), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

// A failure before the first listing is reported, and the walk goes on.
TEST_F(WalkTest, YieldsAtMostEveryIntervalStopsWhenAskedAndReportsAFailure) {
    build(kExampleTree);
    context.yieldIntervalMs = 0;
    walk("A");
    EXPECT_EQ(pump.calls, 7 + 6 + 6) << "7 examined, 6 listed, 6 merged";
    pump.calls = 0;
    context.yieldIntervalMs = 3'600'000;
    walk("A");
    EXPECT_EQ(pump.calls, 0) << "none within the interval";

    context.stopRequested = [] { return true; };
    EXPECT_EQ(walk("A"), QStringList{"A/"}) << "stopped at once";
    context.yieldIntervalMs = 0;
    context.stopRequested = [&] { return pump.calls >= 3; }; // once A is listed
    EXPECT_EQ(walk("A"), split("A/,A/B/,A/C/")) << "stopped with a consistent list";

    context.stopRequested = {};
    pump.calls = 0;
    pump.hook = [](int call) {
        if (call == 1) {
            throw Failure(QStringLiteral("Out of string space"), kOutOfStringSpace);
        }
    };
    EXPECT_EQ(walk("A"), split(kExampleOrder));
    reports = 1;
    ASSERT_EQ(prompter.boxes.size(), reports);
    EXPECT_TRUE(prompter.boxes[0].text.contains(
        QStringLiteral("in TobrinTitle2021/08/31.AddFolder.GetSubDirectories2016 at line 114")));
}

// "Add All" takes a folder's files and those below it by extension; a drop takes
// a file as it is, a folder whole. Linux derives the attribute words from POSIX.
TEST_F(WalkTest, AddAllAndDropsGiveRowsOfFilesLevelAfterLevel) {
    fx.touchAll({"F/b.ps", "F/a.ps", "F/c.PS", "F/d.txt", "F/e.ps.txt", "F/~temp.ps", "F/x~.ps",
                 "F/.hidden.ps", "F/.readonly.ps", "F/S1/s1.ps", "F/S1/T/t.ps", "F/S2/s2.ps",
                 "F/S2/noext", "F/S2/~t.ps", "F/S2/.h.ps"});
    ASSERT_TRUE(QFile::setPermissions(fx.path("F/.readonly.ps"), QFile::ReadOwner));
    build("F/.h,F/.linked.ps>F/a.ps,F/.E>E,F/dangling.ps>gone,L>F/S2,E");
    LocatedTrap<report_location::AddFolder> addFolder{prompter};
    const ErrorTrap::BoundStep trap = addFolder.bind(report_location::AddFolder::kListFolderFiles);
    const struct {
        const char* path;
        const char* extension; // nullptr: dropped
        const char* rows;
        const char* why;
    } rows[] = {
        // A writable dot-file is archive + hidden (34) and left out; read-only
        // it is 35 and kept; a link named with a dot carries the link bit.
        {"F", "ps",
         "F/.linked.ps,F/.readonly.ps,F/a.ps,F/b.ps,F/c.PS,F/x~.ps,F/S1/s1.ps,F/S2/s2.ps,"
         "F/S1/T/t.ps",
         "the folder first, then each level; case ignored; ~names and word 34 left out"},
        {"F", "txt", "F/d.txt,F/e.ps.txt", "only the last extension counts"},
        {"missing", "ps", "", "a missing folder gives no row"},
        {"F/a.ps", nullptr, "F/a.ps", "a dropped file"},
        {"F/d.txt", nullptr, "F/d.txt", "no extension filter for dropped files"},
        {"F//a.ps", nullptr, "F//a.ps", "no tidying of a doubled separator"},
        {"F/gone.ps", nullptr, "F/gone.ps", "no existence test"},
        {"F/S2", nullptr, "F/S2/noext,F/S2/s2.ps", "every file, ~names and word 34 left out"},
        {"F/S2/", nullptr, "F/S2/noext,F/S2/s2.ps", "a closing separator still gives single ones"},
        {"L", nullptr, "L/noext,L/s2.ps", "a link to a folder is dropped as a folder"},
        {"E", nullptr, "", "an empty folder gives no row"},
    };
    for (const auto& row : rows) {
        const QString path = fx.path(row.path);
        const QStringList found = row.extension != nullptr
                                      ? CollectFolderFiles(path, row.extension, context, trap)
                                      : DroppedRows(path, context, trap);
        EXPECT_EQ(fx.relative(found), split(row.rows)) << row.why;
    }

    const struct {
        const char* path;
        unsigned word;
        const char* why;
    } words[] = {
        {"F/a.ps", 32, "archive"},
        {"F/.hidden.ps", 34, "hidden archive: the word Add All skips"},
        {"F/.readonly.ps", 35, "owner may not write"},
        {"F/S1", 16, "directory"},
        {"F/S1/", 16, "trailing /"},
        {"F/.h", 16 + 2, "hidden directory"},
        {"F/.E", 1024 + 16 + 2, "hidden link to a folder"},
        {"F/.E/", 1024 + 16 + 2, "a trailing / keeps the link bit"},
        {"F/.linked.ps", 1024 + 32 + 2, "link: the target's type and the link bit"},
        {"F/dangling.ps", 1024, "nothing behind the link"},
        {"F/S1/.", 16, "\".\" names the folder, not a hidden entry"},
        {"F/S1/..", 16, "\"..\" names the parent, not a hidden entry"},
        {"missing", 0, "does not exist"},
    };
    for (const auto& row : words) {
        EXPECT_EQ(AttributeWord(fx.path(row.path)), row.word) << row.why;
    }
    EXPECT_EQ(AttributeWord(QStringLiteral("/")), 16u) << "a folder, not hidden, never system";
    EXPECT_EQ(AttributeWord(QString()), 0u) << "no path";
}

} // namespace
