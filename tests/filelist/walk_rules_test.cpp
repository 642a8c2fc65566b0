// Which folders a walk enters and which files it keeps, by the rules of
// both systems, whichever system runs the test.
#include "filelist/walk_rules.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

constexpr PathStyle kWindows = PathStyle::Windows;
constexpr PathStyle kPosix = PathStyle::Posix;

constexpr unsigned kPlainFolder = 16;
constexpr unsigned kHiddenSystemFolder = 22;
constexpr unsigned kHiddenSystemLink = 1046;
constexpr unsigned kReadOnlyHiddenSystemFolder = 23;
constexpr unsigned kHiddenArchiveFile = 34;

struct WordRow {
    PathStyle style;
    const char* path;
    unsigned word;
    bool yes; // walked (folders) or skipped (files)
    const char* why;
};

class FolderRule : public ::testing::TestWithParam<WordRow> {};

TEST_P(FolderRule, RootsWhateverTheirWordOthersUnlessHiddenSystem) {
    const WordRow& row = GetParam();
    EXPECT_EQ(WalksFolder(row.style, QString::fromUtf8(row.path), row.word), row.yes) << row.why;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FolderRule,
    ::testing::Values(
        WordRow{kWindows, R"(C:\)", kHiddenSystemFolder, true, "NTFS marks a drive's root 22"},
        WordRow{kWindows, R"(d:\\)", kHiddenSystemFolder, true, "joined once more, lower case"},
        WordRow{kWindows, R"(C:\)", kHiddenSystemLink, true, "a root is never skipped"},
        WordRow{kWindows, R"(\\server\share\)", kHiddenSystemFolder, true, "a share's root"},
        WordRow{kWindows, R"(\\server\share\\)", kHiddenSystemFolder, true, "share, joined"},
        WordRow{kWindows, R"(\\server\share)", kHiddenSystemFolder, true, "share, unclosed"},
        WordRow{kWindows, R"(\)", kHiddenSystemFolder, true, "the current drive's root"},
        WordRow{kWindows, R"(C:\Windows\)", kHiddenSystemFolder, false, "below a root"},
        WordRow{kWindows, R"(\\server\share\dir\)", kHiddenSystemFolder, false,
                "below a share's root"},
        WordRow{kWindows, R"(\\server\)", kHiddenSystemFolder, false, "a server is no folder"},
        WordRow{kWindows, "C:", kHiddenSystemFolder, false, "the current folder of drive C"},
        WordRow{kWindows, "C:/", kHiddenSystemFolder, false, "/ is no separator in Windows rows"},
        WordRow{kWindows, R"(AB:\)", kHiddenSystemFolder, false, "no drive has two letters"},
        WordRow{kWindows, R"(C:\Users\)", kReadOnlyHiddenSystemFolder, true, "23 passes"},
        WordRow{kWindows, R"(C:\Users\)", kPlainFolder, true, "a plain folder"},
        WordRow{kPosix, "/", kHiddenSystemFolder, true, "Linux's root"},
        WordRow{kPosix, "//", kHiddenSystemFolder, true, "Linux's root, joined"},
        WordRow{kPosix, "/home/", kHiddenSystemFolder, false, "below the root"},
        WordRow{kPosix, R"(C:\)", kHiddenSystemFolder, false, "a Windows root is a name here"},
        WordRow{kPosix, "/home/", kPlainFolder, true, "a plain folder"}));

class FileRule : public ::testing::TestWithParam<WordRow> {};

TEST_P(FileRule, OnlyHiddenArchiveFilesAreLeftOut) {
    const WordRow& row = GetParam();
    EXPECT_EQ(SkipsFile(row.style, QString::fromUtf8(row.path), row.word), row.yes) << row.why;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileRule,
    ::testing::Values(
        WordRow{kWindows, R"(C:\d\h.ps)", kHiddenArchiveFile, true, "Windows: any name hides"},
        WordRow{kWindows, R"(C:\d\.h.ps)", kHiddenArchiveFile, true, "a dotted one too"},
        WordRow{kWindows, R"(C:\h.ps)", kHiddenArchiveFile, true, "in a drive's root"},
        WordRow{kWindows, R"(C:\d\h.ps)", 2, false, "hidden alone"},
        WordRow{kWindows, R"(C:\d\h.ps)", 35, false, "hidden, archive, read-only"},
        WordRow{kWindows, R"(C:\d\h.ps)", 38, false, "hidden, archive, system"},
        WordRow{kWindows, R"(C:\d\.h.ps)", 32, false, "a dot hides nothing on Windows"},
        WordRow{kPosix, "/d/.h.ps", kHiddenArchiveFile, true, "Linux: a dotted name"},
        WordRow{kPosix, "/d/h.ps", kHiddenArchiveFile, false, "Linux hides dotted names only"},
        WordRow{kPosix, "/.d/h.ps", kHiddenArchiveFile, false, "a dotted folder is not the file"},
        WordRow{kPosix, "/d/.h.ps", 35, false, "read-only as well"}));

TEST(FileWord, AskedForOnlyWhereItCanMatter) {
    EXPECT_TRUE(FileWordMatters(kWindows, QStringLiteral("h.ps")));
    EXPECT_TRUE(FileWordMatters(kPosix, QStringLiteral(".h.ps")));
    EXPECT_FALSE(FileWordMatters(kPosix, QStringLiteral("h.ps")));
}

} // namespace
