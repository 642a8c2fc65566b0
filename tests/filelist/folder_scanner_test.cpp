#include "base/failure.h"
#include "filelist/folder_scanner.h"
#include "support/fake_event_pump.h"
#include "support/recording_prompter.h"
#include "support/temp_tree.h"
#include "support/text.h"
#include "support/unprivileged_user.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using test::q;

namespace {

struct ScanTest : ::testing::Test {
    test::TempTree fx;
    test::RecordingPrompter prompter;
    test::FakeEventPump pump;
    ScanContext context{prompter, pump};

    QStringList walk(const QStringList& startRels, bool recurse = true) {
        QStringList folders;
        for (const QString& rel : startRels) {
            folders.append(fx.item(rel));
        }
        GetSubDirectories2016(folders, recurse, context);
        return fx.relative(folders);
    }
    void buildExampleTree() { fx.mkdirs({"A/B/D/G", "A/C/E", "A/C/F"}); }
};

const QStringList exampleOrder{"A/", "A/B/", "A/C/", "A/B/D/", "A/C/E/", "A/C/F/", "A/B/D/G/"};

TEST_F(ScanTest, WalksLevelAfterLevel) {
    buildExampleTree();
    EXPECT_EQ(walk({"A"}), exampleOrder);
    EXPECT_EQ(walk({"A"}, false), (QStringList{"A/", "A/B/", "A/C/"}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ScanTest, SortsSubfoldersWithoutRegardToCase) {
    fx.mkdirs({"A/b", "A/D", "A/a2", "A/C", "A/.hidden"});
    EXPECT_EQ(walk({"A"}), (QStringList{"A/", "A/.hidden/", "A/a2/", "A/b/", "A/C/", "A/D/"}));
}

TEST_F(ScanTest, FindsUnicodeNamesAndSkipsControlCharactersAndQuestionMarks) {
    fx.mkdirs({q("A/日本語/下"), q("A/Привет"), q("A/über straße"), "A/a*b", q("A/bad\x01/deep"),
               q("A/bad\u0085/deep"), "A/what?/deep", "A/tab\tname"});
    EXPECT_EQ(walk({"A"}), (QStringList{"A/", "A/a*b/", q("A/über straße/"), q("A/Привет/"),
                                        q("A/日本語/"), q("A/日本語/下/")}));
}

TEST_F(ScanTest, FollowsLinksOnceAndEndsLinkCycles) {
    fx.mkdirs({"A/real/sub", "Outside/inner"});
    fx.link(fx.path("A/real"), "A/twice");      // same folder again: walked once
    fx.link(fx.path("A"), "A/real/sub/up");     // back to the start: a cycle
    fx.link(fx.path("Outside"), "A/elsewhere"); // a link is followed like a folder
    fx.link(fx.path("missing"), "A/dangling");
    fx.touch("file");
    fx.link(fx.path("file"), "A/to-file");
    EXPECT_EQ(walk({"A"}),
              (QStringList{"A/", "A/elsewhere/", "A/real/", "A/elsewhere/inner/", "A/real/sub/"}));
}

TEST_F(ScanTest, StartItemNamedTwiceIsWalkedOnce) {
    fx.mkdirs({"A/B"});
    EXPECT_EQ(walk({"A", "A"}), (QStringList{"A/", "A/", "A/B/"}));
}

TEST_F(ScanTest, DeepTreePastTheWindowsLimitIsWalkedWhole) {
    QString rel = QStringLiteral("A");
    QStringList expected{"A/"};
    for (int level = 0; level < 20; ++level) { // about 640 characters deep
        rel +=
            QStringLiteral("/level-%1-with-a-long-name-xxxx").arg(level, 2, 10, QLatin1Char('0'));
        expected.append(rel + QLatin1Char('/'));
    }
    fx.mkdirs({rel});
    EXPECT_EQ(walk({"A"}), expected);
}

// Folders made through descriptors, so the chain outgrows PATH_MAX; removed
// the same way, since path-based removal cannot reach the bottom.
struct DeepChain {
    DeepChain(const QString& base, int depth) : base(QFile::encodeName(base)), depth(depth) {
        int fd = ::open(this->base.constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < depth && fd >= 0; ++i) {
            ::mkdirat(fd, name.c_str(), 0755);
            const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        ::close(fd);
    }
    ~DeepChain() {
        for (int level = depth; level > 0; --level) {
            int fd = ::open(base.constData(), O_RDONLY | O_DIRECTORY);
            for (int i = 0; i < level - 1 && fd >= 0; ++i) {
                const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
                ::close(fd);
                fd = next;
            }
            ::unlinkat(fd, name.c_str(), AT_REMOVEDIR);
            ::close(fd);
        }
    }
    QByteArray base;
    int depth;
    std::string name = std::string(NAME_MAX, 'n');
};

TEST_F(ScanTest, ChainBeyondPathMaxEndsQuietlyAtThePlatformLimit) {
    fx.mkdirs({"A"});
    const DeepChain chain(fx.path("A"), 20); // 20 x 256 bytes: well past 4096
    QStringList folders{fx.item("A")};
    GetSubDirectories2016(folders, true, context);
    EXPECT_TRUE(prompter.boxes.isEmpty());
    const int usable = (PATH_MAX - 1 - QFile::encodeName(fx.item("A")).size()) / (NAME_MAX + 1);
    ASSERT_EQ(folders.size(), 1 + usable) << "every folder the kernel can reach is returned";
    EXPECT_LT(QFile::encodeName(folders.last()).size(), PATH_MAX);
}

// Each victim vanishes at its own yield, after the scanner has seen it as a
// folder and before it lists it: with no subfolders, the yield numbers are
// those of the start items being opened.
TEST_F(ScanTest, FoldersThatVanishBeforeListingAreRemovedAndTheWalkGoesOn) {
    fx.mkdirs({"V1", "V2", "V3", "Z/sub"});
    context.yieldIntervalMs = 0;
    pump.hook = [&](int call) {
        if (call <= 3) {
            QDir(fx.path(QStringLiteral("V%1").arg(call))).removeRecursively();
        }
    };
    EXPECT_EQ(walk({"V1", "V2", "V3", "Z"}), (QStringList{"Z/", "Z/sub/"}));
    EXPECT_TRUE(prompter.boxes.isEmpty()) << "listing failures are not reported";
}

TEST_F(ScanTest, ListingFailureRemovesTheFirstEqualItemAndKeepsItsNeighbour) {
    fx.mkdirs({"V", "Z/sub"});
    context.yieldIntervalMs = 0;
    pump.hook = [&](int call) {
        if (call == 1) {
            QDir(fx.path("V")).removeRecursively();
        }
    };
    // The second V/ was never listed (it is gone by then), so it stays.
    EXPECT_EQ(walk({"V", "Z", "V"}), (QStringList{"Z/", "V/", "Z/sub/"}));
}

TEST_F(ScanTest, PermissionDeniedFoldersAreRemoved) {
    fx.mkdirs({"A/P1/x", "A/P2", "A/P3", "A/Q/y", "Locked"});
    for (const char* rel : {"A/P1", "A/P2", "A/P3", "Locked"}) {
        ::chmod(QFile::encodeName(fx.path(rel)).constData(), 0);
    }
    const test::UnprivilegedUser user(fx.path());
    if (!user.denies()) {
        GTEST_SKIP() << "root could not act as another user, and root is never denied";
    }
    EXPECT_EQ(walk({"A"}), (QStringList{"A/", "A/Q/", "A/Q/y/"}));
    EXPECT_EQ(walk({"Locked"}), QStringList{});
    EXPECT_TRUE(prompter.boxes.isEmpty());
    for (const char* rel : {"A/P1", "A/P2", "A/P3", "Locked"}) {
        ::chmod(QFile::encodeName(fx.path(rel)).constData(), 0755);
    }
}

TEST_F(ScanTest, FailureBeforeTheFirstListingIsReportedAndTheWalkGoesOn) {
    buildExampleTree();
    context.yieldIntervalMs = 0;
    pump.hook = [](int call) {
        if (call == 1) {
            throw Failure(QStringLiteral("Out of string space"), 14);
        }
    };
    EXPECT_EQ(walk({"A"}), exampleOrder);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("Application Error"));
    EXPECT_TRUE(prompter.boxes[0].text.contains(
        QStringLiteral("in TobrinTitle2021/08/31.AddFolder.GetSubDirectories2016 at line 114")));
}

TEST_F(ScanTest, YieldsPerFolderExaminedListedAndMergedOrAtMostEveryInterval) {
    buildExampleTree();
    context.yieldIntervalMs = 0;
    walk({"A"});
    EXPECT_EQ(pump.calls, 7 + 6 + 6) << "7 examined, 6 listed, 6 merged";
    pump.calls = 0;
    context.yieldIntervalMs = 3'600'000;
    walk({"A"});
    EXPECT_EQ(pump.calls, 0);
}

TEST_F(ScanTest, StopRequestEndsTheWalkWithAConsistentList) {
    buildExampleTree();
    context.stopRequested = [] { return true; };
    EXPECT_EQ(walk({"A"}), QStringList{"A/"});

    context.yieldIntervalMs = 0;
    context.stopRequested = [&] { return pump.calls >= 3; }; // after A is listed
    const QStringList partial = walk({"A"});
    EXPECT_EQ(partial, (QStringList{"A/", "A/B/", "A/C/"}));
}

TEST_F(ScanTest, RootFolderIsWalked) {
    QStringList folders{QStringLiteral("/")};
    GetSubDirectories2016(folders, false, context);
    EXPECT_EQ(folders.first(), QStringLiteral("/"));
    EXPECT_TRUE(folders.contains(QStringLiteral("/usr/")));
}

struct WordRow {
    unsigned word;
    bool skipped;
    const char* why;
};

class SkipRuleTest : public ::testing::TestWithParam<WordRow> {};

TEST_P(SkipRuleTest, OnlyHiddenSystemFoldersAreSkipped) {
    EXPECT_EQ(IsSkippedFolderAttributeWord(GetParam().word), GetParam().skipped) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(Rows, SkipRuleTest,
                         ::testing::Values(WordRow{22, true, "directory hidden system"},
                                           WordRow{1046, true, "the same, a link"},
                                           WordRow{23, false, "read-only as well"},
                                           WordRow{54, false, "archive as well"},
                                           WordRow{18, false, "hidden only"},
                                           WordRow{16, false, "plain folder"},
                                           WordRow{1042, false, "hidden link"}));

TEST(UnsupportedChars, FlagsControlCharactersAndQuestionMarkOnly) {
    for (const char* name : {"", "abc", "über straße", "日本語", "Привет", "a*b", "😀", "\u00a0"}) {
        EXPECT_FALSE(HasUnsupportedChars(q(name))) << name;
    }
    for (const char* name : {"a?b", "\x01", "\t", "\x1f", "\x7f", "\u0080", "\u009f"}) {
        EXPECT_TRUE(HasUnsupportedChars(q(name))) << name;
    }
}

} // namespace
