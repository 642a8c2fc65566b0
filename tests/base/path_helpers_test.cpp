#include "base/failure.h"
#include "base/path_helpers.h"
#include "support/temp_tree.h"
#include "support/text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using test::q;

namespace {

struct PathRow {
    PathStyle style;
    const char* input;
    const char* expected;
    const char* why;
};

void PrintTo(const PathRow& row, std::ostream* os) {
    *os << row.why;
}

class FixPathTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(FixPathTest, CollapsesDoubledSeparators) {
    const PathRow& row = GetParam();
    EXPECT_EQ(FixPath(q(row.input), row.style), q(row.expected)) << row.why;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FixPathTest,
    ::testing::Values(
        PathRow{PathStyle::Windows, R"(C:\Temp\\ps)", R"(C:\Temp\ps)", "work folder join"},
        PathRow{PathStyle::Windows, R"(D:\out\\a-001.jpg)", R"(D:\out\a-001.jpg)", "page join"},
        PathRow{PathStyle::Windows, R"(C:\a\\\b)", R"(C:\a\\b)", "three become two: one pass"},
        PathRow{PathStyle::Windows, R"(C:\a\\\\b)", R"(C:\a\\b)", "four become two"},
        PathRow{PathStyle::Windows, R"(\\server\share\\a.pdf)", R"(\\server\share\a.pdf)",
                "network prefix kept"},
        PathRow{PathStyle::Windows, R"(\\\\server\x)", R"(\\server\x)", "four leading become two"},
        PathRow{PathStyle::Windows, R"(\a\\b)", R"(\\a\b)", "one leading becomes prefix"},
        PathRow{PathStyle::Windows, R"(\)", R"(\\)", "lone separator"},
        PathRow{PathStyle::Windows, "", "", "empty"},
        PathRow{PathStyle::Windows, "C:/a//b", "C:/a//b", "slash is ordinary in Windows style"},
        PathRow{PathStyle::Posix, "/tmp//ps", "/tmp/ps", "work folder join"},
        PathRow{PathStyle::Posix, "/out//a-001.jpg", "/out/a-001.jpg", "page join"},
        PathRow{PathStyle::Posix, "/a///b", "/a//b", "three become two: one pass"},
        PathRow{PathStyle::Posix, "////srv/x", "/srv/x", "leading run becomes one"},
        PathRow{PathStyle::Posix, "//a//b", "/a/b", "no network prefix on Posix"},
        PathRow{PathStyle::Posix, "rel//a", "rel/a", "relative"},
        PathRow{PathStyle::Posix, R"(a\\b)", R"(a\\b)", "backslash is ordinary in Posix"},
        PathRow{PathStyle::Posix, "/home/über straße//日本.ps", "/home/über straße/日本.ps",
                "Unicode passes through"},
        PathRow{PathStyle::Posix, "", "", "empty"}));

struct SplitRow {
    PathStyle style;
    const char* path;
    const char* fileName;
    const char* folder;
    const char* named; // FolderOf: the folder as a line names it
};

class SplitTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitTest, FileNameAndFolder) {
    const SplitRow& row = GetParam();
    EXPECT_EQ(GetFileName(q(row.path), row.style), q(row.fileName)) << row.path;
    EXPECT_EQ(GetFolderPath(q(row.path), row.style), q(row.folder)) << row.path;
    EXPECT_EQ(FolderOf(q(row.path), row.style), q(row.named)) << row.path;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitTest,
    ::testing::Values(SplitRow{PathStyle::Windows, R"(C:\in\a.b.ps)", "a.b.ps", R"(C:\in\)",
                               R"(C:\in)"},
                      SplitRow{PathStyle::Windows, "a.ps", "a.ps", "", ""},
                      SplitRow{PathStyle::Windows, R"(C:\dir\)", "", R"(C:\dir\)", R"(C:\dir)"},
                      SplitRow{PathStyle::Windows, R"(C:\)", "", R"(C:\)", R"(C:\)"},
                      SplitRow{PathStyle::Windows, "", "", "", ""},
                      SplitRow{PathStyle::Windows, R"(\\srv\share\x.ps)", "x.ps", R"(\\srv\share\)",
                               R"(\\srv\share)"},
                      SplitRow{PathStyle::Windows, "C:/in/a.ps", "C:/in/a.ps", "", ""},
                      SplitRow{PathStyle::Posix, "/in/a.b.ps", "a.b.ps", "/in/", "/in"},
                      SplitRow{PathStyle::Posix, "a.ps", "a.ps", "", ""},
                      SplitRow{PathStyle::Posix, "/dir/", "", "/dir/", "/dir"},
                      SplitRow{PathStyle::Posix, "/", "", "/", "/"},
                      SplitRow{PathStyle::Posix, R"(/in/a\b.ps)", R"(a\b.ps)", "/in/", "/in"}));

TEST(RemoveExtension, CutsAtLastDotUnlessItLeads) {
    const std::pair<const char*, const char*> rows[] = {
        {"a.b.ps", "a.b"},  {".ps", ".ps"}, {"readme", "readme"}, {".hidden", ".hidden"},
        {"a.", "a"},        {"", ""},       {"..x", "."},         {"my.report.ps", "my.report"},
        {"日本.ps", "日本"}};
    for (const auto& [input, expected] : rows) {
        EXPECT_EQ(RemoveExtension(q(input)), q(expected)) << input;
    }
}

class FileHelpersTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.path(name); }
    void touch(const QString& name, const QByteArray& bytes = "x") const { dir.touch(name, bytes); }
    test::TempTree dir;
};

TEST_F(FileHelpersTest, DirExists) {
    touch(QStringLiteral("file"));
    EXPECT_TRUE(DirExists(dir.path()));
    EXPECT_TRUE(DirExists(dir.path() + QLatin1Char('/')));
    EXPECT_TRUE(DirExists(QStringLiteral("/")));
    EXPECT_FALSE(DirExists(path(QStringLiteral("file"))));
    EXPECT_FALSE(DirExists(path(QStringLiteral("missing"))));
    EXPECT_FALSE(DirExists(QString()));
}

TEST_F(FileHelpersTest, WriteTextFileEndsWithTheStyleLineBreak) {
    WriteTextFile(path(QStringLiteral("w.bat")), QStringLiteral("x"), PathStyle::Windows);
    QFile w(path(QStringLiteral("w.bat")));
    ASSERT_TRUE(w.open(QIODevice::ReadOnly));
    EXPECT_EQ(w.readAll(), QByteArray("x\r\n"));

    WriteTextFile(path(QStringLiteral("p.sh")), QStringLiteral("über"), PathStyle::Posix);
    QFile p(path(QStringLiteral("p.sh")));
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_EQ(p.readAll(), QString::fromUtf8("über\n").toUtf8());
}

TEST_F(FileHelpersTest, WriteTextFileTruncatesAndReportsFailures) {
    touch(QStringLiteral("t"), "a much longer old content");
    WriteTextFile(path(QStringLiteral("t")), QStringLiteral("new"), PathStyle::Posix);
    QFile t(path(QStringLiteral("t")));
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), QByteArray("new\n"));

    EXPECT_THROW(WriteTextFile(path(QStringLiteral("no/such/folder/x")), QStringLiteral("x")),
                 Failure);
}

TEST_F(FileHelpersTest, DeleteFolderTreeRemovesEverythingButNeverFollowsLinks) {
    QTemporaryDir outside;
    QFile keep(outside.filePath(QStringLiteral("precious")));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();

    const QString tree = path(QStringLiteral("tree"));
    ASSERT_TRUE(QDir().mkpath(tree + QStringLiteral("/sub/deeper")));
    touch(QStringLiteral("tree/a"));
    touch(QStringLiteral("tree/.hidden"));
    touch(QStringLiteral("tree/sub/deeper/b"));
    ASSERT_TRUE(QFile::link(outside.path(), tree + QStringLiteral("/sub/link")));
    ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("precious")),
                            tree + QStringLiteral("/filelink")));
    // A read-only folder and a read-only file inside the tree.
    QFile::setPermissions(tree + QStringLiteral("/sub/deeper/b"), QFileDevice::ReadOwner);
    QFile::setPermissions(tree + QStringLiteral("/sub/deeper"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    DeleteFolderTree(tree);

    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_TRUE(QFile::exists(outside.filePath(QStringLiteral("precious"))));
}

TEST_F(FileHelpersTest, DeleteFolderTreeOfNothingDoesNothing) {
    DeleteFolderTree(path(QStringLiteral("missing")));
    DeleteFolderTree(QString());
    touch(QStringLiteral("afile"));
    DeleteFolderTree(path(QStringLiteral("afile")));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("afile"))));
}

} // namespace
