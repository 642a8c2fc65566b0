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

using namespace velmora;
using test::q;

namespace {

TEST(FolderListing, ListsMatchingFilesOnlySortedWithoutRegardToCase) {
    test::TempTree fx;
    fx.mkdirs({"F/x.ps"});
    for (const char* name : {"b.ps", "A.PS", "c.Ps", ".hidden.ps", "a.psx", "a.ps.bak", "a*b.ps",
                             "日本.ps", "Привет.PS", "über straße.ps", "README"}) {
        fx.touch(QStringLiteral("F/") + q(name));
    }
    fx.link(fx.path("F/b.ps"), "F/link.ps");
    fx.link(fx.path("nothing"), "F/dangling.ps");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fx.path("F/pipe.ps")).constData(), 0644), 0);
    const QStringList expected =
        test::split(".hidden.ps,a*b.ps,A.PS,b.ps,c.Ps,link.ps,über straße.ps,Привет.PS,日本.ps");
    EXPECT_EQ(GetFilesInFolder(fx.path("F"), QStringLiteral("*.ps")), expected);
    EXPECT_EQ(GetFilesInFolder(fx.item("F"), QStringLiteral("*.ps")), expected) << "closing /";
    EXPECT_EQ(GetFilesInFolder(fx.path("F"), QStringLiteral("a*b.ps")), QStringList{"a*b.ps"});
    EXPECT_EQ(GetFilesInFolder(fx.path("F"), q("ÜBER*")), QStringList{q("über straße.ps")});
    EXPECT_TRUE(GetFilesInFolder(fx.path("F"), QStringLiteral("*.*")).contains("README"));
}

TEST(FolderListing, EmptyMissingLargeAndUnreadableFolders) {
    test::TempTree fx;
    fx.mkdirs({"Empty"});
    for (int i = 0; i < 150; ++i) {
        fx.touch(QStringLiteral("Large/page%1.ps").arg(i, 3, 10, QLatin1Char('0')));
    }
    EXPECT_EQ(GetFilesInFolder(fx.path("Empty"), QStringLiteral("*.*")), QStringList{});
    EXPECT_EQ(GetFilesInFolder(fx.path("Missing"), QStringLiteral("*.*")), QStringList{});
    const QStringList large = GetFilesInFolder(fx.path("Large"), QStringLiteral("*.ps"));
    ASSERT_EQ(large.size(), 150) << "no listing stops at a buffer's end";
    EXPECT_EQ(large.last(), QStringLiteral("page149.ps"));
    // A folder that is there but cannot be read fails to the caller, as
    // one that is not there does not.
    try {
        GetFilesInFolder(fx.path(QString(300, QLatin1Char('x'))), QStringLiteral("*.ps"));
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), error_number::kBadFileNameOrNumber);
    }
}

TEST(FolderListing, DeniedFolderFailsToTheCallerAndUnopenableNamesAreLeftOut) {
    test::TempTree fx;
    fx.mkdirs({"Locked", "NoSearch"});
    fx.touch("NoSearch/a.ps");
    ::chmod(QFile::encodeName(fx.path("Locked")).constData(), 0);
    ::chmod(QFile::encodeName(fx.path("NoSearch")).constData(), 0444);
    {
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
    }
    ::chmod(QFile::encodeName(fx.path("Locked")).constData(), 0755);
    ::chmod(QFile::encodeName(fx.path("NoSearch")).constData(), 0755);
}

TEST(FolderListing, PatternsMatchWildcardsWithoutRegardToCase) {
    const struct Row {
        const char* name;
        const char* pattern;
        bool matches;
    } rows[] = {
        {"a.PS", "*.ps", true},   {"a.psx", "*.ps", false},     {"a.ps.bak", "*.ps", false},
        {"README", "*.*", true},  {"a", "a.*", true},           {"ab", "a.*", false},
        {"abc", "a?c", true},     {"ac", "a?c", false},         {"Ärger.ps", "ä*.PS", true},
        {"😀.ps", "?.ps", true},   {"a[1].ps", "a[1].ps", true}, {"a1.ps", "a[1].ps", false},
        {"anything", "", true},   {"aXb", "a*b", true},         {"xa.jpg", "a*.jpg", false},
        {"aXbXc", "a*b*c", true}, {"aXbX", "a*b*c", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MatchesFilePattern(q(row.name), q(row.pattern)), row.matches)
            << row.name << " ~ " << row.pattern;
    }
}

TEST(FolderListing, FileExistsForFilesOnly) {
    test::TempTree fx;
    fx.mkdirs({"D"});
    fx.touchAll({"plain", ".hidden", "read-only", "no-access", "a*b"});
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
