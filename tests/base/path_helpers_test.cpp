#include "base/failure.h"
#include "base/path_helpers.h"
#include "support/temp_tree.h"
#include "support/test_files.h"
#include "support/text.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

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

TEST(PathHelpers, FilesAndFolders) {
    test::TempTree dir;
    dir.touch(QStringLiteral("file"), "a much longer old content");
    EXPECT_TRUE(DirExists(dir.path()));
    EXPECT_TRUE(DirExists(dir.path() + QLatin1Char('/')));
    EXPECT_FALSE(DirExists(dir.path(QStringLiteral("file"))));
    EXPECT_FALSE(DirExists(dir.path(QStringLiteral("missing"))));
    EXPECT_FALSE(DirExists(QString()));

    // A text file is replaced whole and ends with its system's line break.
    WriteTextFile(dir.path(QStringLiteral("file")), q("über"), PathStyle::Posix);
    EXPECT_EQ(test::ReadFile(dir.path(QStringLiteral("file"))), q("über\n").toUtf8());
    WriteTextFile(dir.path(QStringLiteral("w.bat")), QStringLiteral("x"), PathStyle::Windows);
    EXPECT_EQ(test::ReadFile(dir.path(QStringLiteral("w.bat"))), QByteArray("x\r\n"));
    EXPECT_THROW(WriteTextFile(dir.path(QStringLiteral("no/folder/x")), QStringLiteral("x")),
                 Failure);
}

// A work folder goes with everything in it, read-only or not, and never
// takes what a link inside it leads to.
TEST(PathHelpers, DeleteFolderTreeRemovesAllButWhatLinksLeadTo) {
    test::TempTree dir;
    dir.touch(QStringLiteral("outside/precious"));
    dir.touchAll({QStringLiteral("tree/a"), QStringLiteral("tree/.hidden"),
                  QStringLiteral("tree/sub/deeper/b")});
    const QString tree = dir.path(QStringLiteral("tree"));
    dir.link(dir.path(QStringLiteral("outside")), QStringLiteral("tree/sub/link"));
    dir.link(dir.path(QStringLiteral("outside/precious")), QStringLiteral("tree/filelink"));
    QFile::setPermissions(tree + QStringLiteral("/sub/deeper/b"), QFileDevice::ReadOwner);
    QFile::setPermissions(tree + QStringLiteral("/sub/deeper"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    DeleteFolderTree(tree);
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_TRUE(QFileInfo::exists(dir.path(QStringLiteral("outside/precious"))));

    // Nothing, or a file, is left alone.
    DeleteFolderTree(QString());
    DeleteFolderTree(dir.path(QStringLiteral("missing")));
    DeleteFolderTree(dir.path(QStringLiteral("outside/precious")));
    EXPECT_TRUE(QFileInfo::exists(dir.path(QStringLiteral("outside/precious"))));
}

} // namespace
