// Paths taken apart and tidied; files and folders tested, listed, written
// and deleted.
#include "base/error_numbers.h"
#include "base/failure.h"
#include "base/folder_listing.h"
#include "base/folder_reader.h"
#include "base/path_helpers.h"
#include "support/temp_tree.h"
#include "support/text.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include "support/unprivileged_user.h"

#include <climits>
#include <sys/stat.h>
#endif

using namespace velmora;
using test::q;

namespace {

TEST(PathHelpers, FixPathCollapsesDoubledSeparatorsInOnePass) {
    using enum PathStyle;
    const struct Row {
        PathStyle style;
        const char* input;
        const char* expected;
        const char* why;
    } rows[] = {
        {Windows, R"(D:\out\\a-001.jpg)", R"(D:\out\a-001.jpg)", "a join"},
        {Windows, R"(C:\a\\\b)", R"(C:\a\\b)", "three become two: one pass"},
        {Windows, R"(C:\a\\\\b)", R"(C:\a\\b)", "four become two"},
        {Windows, R"(\\server\share\\a.pdf)", R"(\\server\share\a.pdf)", "network prefix kept"},
        {Windows, R"(\\\\server\x)", R"(\\server\x)", "four leading become the prefix"},
        {Windows, R"(\a\\b)", R"(\\a\b)", "one leading becomes the prefix"},
        {Windows, "C:/a//b", "C:/a//b", "a slash is ordinary in Windows style"},
        {Posix, "/out//a-001.jpg", "/out/a-001.jpg", "a join"},
        {Posix, "/a///b", "/a//b", "three become two: one pass"},
        {Posix, "//a//b", "/a/b", "a leading run becomes one: no network prefix"},
        {Posix, "rel//a", "rel/a", "relative"},
        {Posix, R"(a\\b)", R"(a\\b)", "a backslash is ordinary in Posix style"},
        {Posix, "/über straße//日本.ps", "/über straße/日本.ps", "Unicode passes through"},
        {Posix, "", "", "empty"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FixPath(q(row.input), row.style), q(row.expected)) << row.why;
    }
}

TEST(PathHelpers, APathSplitsIntoFolderAndName) {
    using enum PathStyle;
    const struct Row {
        PathStyle style;
        const char* path;
        const char* name;
        const char* folder;
        const char* named; // FolderOf: the folder as a line names it
        const char* bare;  // the name without its extension
    } rows[] = {
        {Windows, R"(C:\in\a.b.ps)", "a.b.ps", R"(C:\in\)", R"(C:\in)", "a.b"},
        {Windows, R"(C:\)", "", R"(C:\)", R"(C:\)", ""},
        {Windows, R"(\\srv\share\.ps)", ".ps", R"(\\srv\share\)", R"(\\srv\share)", ".ps"},
        {Windows, "C:/in/a.", "C:/in/a.", "", "", "C:/in/a"},
        {Posix, "/in/..x", "..x", "/in/", "/in", "."},
        {Posix, "readme", "readme", "", "", "readme"},
        {Posix, "/dir/", "", "/dir/", "/dir", ""},
        {Posix, "/", "", "/", "/", ""},
        {Posix, R"(/in/.hidden\b)", R"(.hidden\b)", "/in/", "/in", R"(.hidden\b)"},
        {Posix, "/in/日本.ps", "日本.ps", "/in/", "/in", "日本"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(GetFileName(q(row.path), row.style), q(row.name));
        EXPECT_EQ(GetFolderPath(q(row.path), row.style), q(row.folder));
        EXPECT_EQ(FolderOf(q(row.path), row.style), q(row.named));
        EXPECT_EQ(RemoveExtension(q(row.name)), q(row.bare));
    }
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

// A work folder goes whole, read-only parts too, never what a link leads to; a
// text file is replaced whole and ends with its system's line break.
TEST(PathHelpers, FilesAndFolders) {
    test::TempTree dir;
    dir.touch("outside/precious", "a much longer old content");
    dir.touchAll({"tree/a", "tree/.hidden", "tree/sub/deeper/b"});
    dir.link(dir.path("outside"), "tree/sub/link");
    dir.link(dir.path("outside/precious"), "tree/filelink");
    QFile::setPermissions(dir.path("tree/sub/deeper/b"), QFileDevice::ReadOwner);
    QFile::setPermissions(dir.path("tree/sub/deeper"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(DirExists(dir.path("tree")));
    EXPECT_TRUE(DirExists(dir.item("tree")));
    for (const char* notFolder : {"outside/precious", "missing"}) {
        EXPECT_FALSE(DirExists(dir.path(notFolder))) << notFolder;
    }
    EXPECT_FALSE(DirExists(QString()));

    DeleteFolderTree(dir.path("tree"));
    EXPECT_FALSE(QFileInfo::exists(dir.path("tree")));
    for (const QString& leftAlone :
         {QString(), dir.path("missing"), dir.path("outside/precious")}) {
        DeleteFolderTree(leftAlone);
    }
    EXPECT_EQ(test::ReadFile(dir.path("outside/precious")), "a much longer old content");

    WriteTextFile(dir.path("outside/precious"), q("über"), PathStyle::Posix);
    EXPECT_EQ(test::ReadFile(dir.path("outside/precious")), q("über\n").toUtf8());
    WriteTextFile(dir.path("w.bat"), QStringLiteral("x"), PathStyle::Windows);
    EXPECT_EQ(test::ReadFile(dir.path("w.bat")), QByteArray("x\r\n"));
    EXPECT_THROW(WriteTextFile(dir.path("no/folder/x"), QStringLiteral("x")), Failure);
}

#ifndef Q_OS_WIN
// Listings as Linux gives them: links, a pipe, and folders without
// permissions, denied even to root (who acts as "nobody" here).
TEST(FolderListing, ListsRegularFilesOnlyAndFailsWhereTheSystemDoes) {
    constexpr int kLargeFolder = 150; // more names than one read of the folder gives
    constexpr const char* kListed =
        ".hidden.ps,a*b.ps,A.PS,b.ps,c.Ps,link.ps,none.ps,ro.ps,über straße.ps,Привет.PS,日本.ps";
    test::TempTree fx;
    fx.mkdirs({"F/x.ps", "Empty", "Locked", "NoSearch"});
    for (const char* name :
         {"b.ps", "A.PS", "c.Ps", ".hidden.ps", "a.psx", "a.ps.bak", "a*b.ps", "日本.ps",
          "Привет.PS", "über straße.ps", "README", "ro.ps", "none.ps"}) {
        fx.touch(QStringLiteral("F/") + q(name));
    }
    fx.touch("NoSearch/a.ps");
    for (int i = 0; i < kLargeFolder; ++i) {
        fx.touch(QStringLiteral("Large/page%1.ps").arg(i, 3, 10, QLatin1Char('0')));
    }
    fx.link(fx.path("F/b.ps"), "F/link.ps");
    fx.link(fx.path("F/x.ps"), "F/folder-link.ps");
    fx.link(fx.path("nothing"), "F/dangling.ps");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fx.path("F/pipe.ps")).constData(), 0644), 0);
    const auto mode = [&](const char* rel, mode_t bits) {
        ::chmod(QFile::encodeName(fx.path(rel)).constData(), bits);
    };
    mode("F/ro.ps", 0444);
    mode("F/none.ps", 0);
    mode("Locked", 0);
    mode("NoSearch", 0444);
    const struct {
        QString folder;
        const char* names;
        qint64 failure; // 0: none
        bool closed;    // needs a user the folder is closed to
        const char* why;
    } rows[] = {
        {"F", kListed, 0, false, "regular files and links to them, sorted without regard to case"},
        {"F/", kListed, 0, false, "a closing separator"},
        {"Empty", "", 0, false, "an empty folder"},
        {"Missing", "", 0, false, "a missing folder lists nothing, like an empty one"},
        {"NoSearch", "", 0, true, "names listed but none can be opened"},
        {"Locked", "", error_number::kPermissionDenied, true, "a folder that cannot be read fails"},
        {QString(NAME_MAX + 1, QLatin1Char('x')), "", error_number::kBadFileNameOrNumber, false,
         "a name the system refuses fails"},
    };
    {
        const test::UnprivilegedUser user(fx.path());
        for (const auto& row : rows) {
            SCOPED_TRACE(row.why);
            if (row.closed && !user.denies()) {
                continue;
            }
            try {
                EXPECT_EQ(GetFilesInFolder(fx.path(row.folder), QStringLiteral("*.ps")),
                          test::split(row.names));
                EXPECT_EQ(row.failure, 0) << "no failure";
            } catch (const Failure& failure) {
                EXPECT_EQ(failure.number(), row.failure);
            }
        }
        EXPECT_EQ(GetFilesInFolder(fx.path("Large"), QStringLiteral("*.ps")).size(), kLargeFolder)
            << "no listing stops at a buffer's end";
        for (const char* file : {"b.ps", ".hidden.ps", "ro.ps", "none.ps", "a*b.ps", "link.ps"}) {
            EXPECT_TRUE(FileExists(fx.path(QStringLiteral("F/") + q(file)))) << file;
        }
        for (const char* other : {"x.ps", "x.ps/", "folder-link.ps", "dangling.ps", "pipe.ps",
                                  "missing", "a*", "b.ps/"}) {
            EXPECT_FALSE(FileExists(fx.path(QStringLiteral("F/") + q(other)))) << other;
        }
        EXPECT_FALSE(FileExists(QString()));
        if (!user.denies()) {
            GTEST_SKIP() << "root could not act as another user, and root is never denied";
        }
    }
    mode("NoSearch", 0755); // so that the tree can be removed
}
#endif

} // namespace
