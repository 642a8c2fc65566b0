#include "base/error_numbers.h"
#include "base/failure.h"
#include "base/folder_listing.h"
#include "base/folder_reader.h"
#include "support/temp_tree.h"
#include "support/text.h"
#include "support/unprivileged_user.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using test::q;

namespace {

struct ListingTest : ::testing::Test {
    test::TempTree fx;
};

TEST_F(ListingTest, ListsMatchingFilesOnlySortedAndWithoutRegardToCase) {
    fx.mkdirs({"F/x.ps"});
    for (const char* name : {"b.ps", "A.PS", "c.Ps", ".hidden.ps", "a.psx", "a.ps.bak", "a*b.ps",
                             "日本.ps", "Привет.PS", "über straße.ps", "README"}) {
        fx.touch(QStringLiteral("F/") + q(name));
    }
    fx.link(fx.path("F/b.ps"), "F/link.ps");
    fx.link(fx.path("nothing"), "F/dangling.ps");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fx.path("F/pipe.ps")).constData(), 0644), 0);
    const QStringList expected{
        ".hidden.ps",        "a*b.ps",       "A.PS",      "b.ps", "c.Ps", "link.ps",
        q("über straße.ps"), q("Привет.PS"), q("日本.ps")};
    EXPECT_EQ(GetFilesInFolder(fx.path("F"), QStringLiteral("*.ps")), expected);
    EXPECT_EQ(GetFilesInFolder(fx.item("F"), QStringLiteral("*.ps")), expected) << "trailing /";
    EXPECT_EQ(GetFilesInFolder(fx.path("F"), QStringLiteral("a*b.ps")), QStringList{"a*b.ps"});
    EXPECT_EQ(GetFilesInFolder(fx.path("F"), q("ÜBER*")), QStringList{q("über straße.ps")});
    EXPECT_TRUE(GetFilesInFolder(fx.path("F"), QStringLiteral("*.*")).contains("README"));
}

TEST_F(ListingTest, ListsNoneForEmptyOrMissingFolderAndAllOfLargeOnes) {
    fx.mkdirs({"Empty", "F120", "F150"});
    EXPECT_EQ(GetFilesInFolder(fx.path("Empty"), QStringLiteral("*.*")), QStringList{});
    EXPECT_EQ(GetFilesInFolder(fx.path("Missing"), QStringLiteral("*.*")), QStringList{});
    for (int i = 0; i < 150; ++i) {
        const QString name = QStringLiteral("/page%1.ps").arg(i, 3, 10, QLatin1Char('0'));
        if (i < 120) {
            fx.touch(QStringLiteral("F120") + name);
        }
        fx.touch(QStringLiteral("F150") + name);
    }
    const QStringList names120 = GetFilesInFolder(fx.path("F120"), QStringLiteral("*.ps"));
    ASSERT_EQ(names120.size(), 120);
    EXPECT_EQ(names120.first(), QStringLiteral("page000.ps"));
    EXPECT_EQ(names120.last(), QStringLiteral("page119.ps"));
    EXPECT_EQ(GetFilesInFolder(fx.path("F150"), QStringLiteral("*.ps")).size(), 150);
}

TEST_F(ListingTest, UnreadableFolderFailsToTheCaller) {
    fx.mkdirs({"Locked", "NoSearch"});
    fx.touch("NoSearch/a.ps");
    ::chmod(QFile::encodeName(fx.path("Locked")).constData(), 0);
    ::chmod(QFile::encodeName(fx.path("NoSearch")).constData(), 0444);
    const test::UnprivilegedUser user(fx.path());
    if (!user.denies()) {
        GTEST_SKIP() << "root could not act as another user, and root is never denied";
    }
    try {
        GetFilesInFolder(fx.path("Locked"), QStringLiteral("*.ps"));
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), error_number::kPermissionDenied);
    }
    EXPECT_EQ(GetFilesInFolder(fx.path("NoSearch"), QStringLiteral("*.ps")), QStringList{})
        << "names listed but none can be opened";
    // Root removes the tree whatever its modes; anyone else needs them back.
    ::chmod(QFile::encodeName(fx.path("Locked")).constData(), 0755);
    ::chmod(QFile::encodeName(fx.path("NoSearch")).constData(), 0755);
}

struct MatchRow {
    const char* name;
    const char* pattern;
    bool matches;
};

class PatternTest : public ::testing::TestWithParam<MatchRow> {};

TEST_P(PatternTest, MatchesWildcards) {
    EXPECT_EQ(MatchesFilePattern(q(GetParam().name), q(GetParam().pattern)), GetParam().matches)
        << GetParam().name << " ~ " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PatternTest,
    ::testing::Values(MatchRow{"a.PS", "*.ps", true}, MatchRow{"a.psx", "*.ps", false},
                      MatchRow{"a.ps.bak", "*.ps", false}, MatchRow{"README", "*.*", true},
                      MatchRow{"a", "a.*", true}, MatchRow{"ab", "a.*", false},
                      MatchRow{"CURRENT-001.JPG", "current*.jpg", true},
                      MatchRow{"xcurrent-001.jpg", "current*.jpg", false},
                      MatchRow{"abc", "a?c", true}, MatchRow{"ac", "a?c", false},
                      MatchRow{"Ärger.ps", "ä*.PS", true}, MatchRow{"😀.ps", "?.ps", true},
                      MatchRow{"a[1].ps", "a[1].ps", true}, MatchRow{"a1.ps", "a[1].ps", false},
                      MatchRow{"anything", "", true}, MatchRow{"aXb", "a*b", true}));

TEST_F(ListingTest, FileExistsForFilesOnly) {
    fx.mkdirs({"D"});
    for (const char* name : {"plain", ".hidden", "read-only", "no-access", "a*b"}) {
        fx.touch(q(name));
    }
    ::chmod(QFile::encodeName(fx.path("read-only")).constData(), 0444);
    ::chmod(QFile::encodeName(fx.path("no-access")).constData(), 0);
    fx.link(fx.path("plain"), "to-file");
    fx.link(fx.path("D"), "to-folder");
    fx.link(fx.path("gone"), "dangling");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fx.path("pipe")).constData(), 0644), 0);
    for (const char* name : {"plain", ".hidden", "read-only", "no-access", "a*b", "to-file"}) {
        EXPECT_TRUE(FileExists(fx.path(q(name)))) << name;
    }
    for (const char* name :
         {"D", "D/", "to-folder", "dangling", "pipe", "missing", "a*", "plain/"}) {
        EXPECT_FALSE(FileExists(fx.path(q(name)))) << name;
    }
    EXPECT_FALSE(FileExists(QString()));
}

} // namespace
