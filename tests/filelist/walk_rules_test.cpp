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
constexpr unsigned kHiddenArchiveFile = 34;

enum class Rule { WalksFolder, SkipsFile };

TEST(WalkRules, RootsAreWalkedOtherFoldersUnlessHiddenSystemAndHiddenArchiveFilesLeftOut) {
    const struct {
        Rule rule;
        PathStyle style;
        const char* path;
        unsigned word;
        bool yes;
        const char* why;
    } rows[] = {
        {Rule::WalksFolder, kWindows, R"(C:\)", kHiddenSystemFolder, true, "NTFS marks roots 22"},
        {Rule::WalksFolder, kWindows, R"(d:\\)", kHiddenSystemFolder, true, "joined, lower case"},
        {Rule::WalksFolder, kWindows, R"(\\server\share\)", kHiddenSystemFolder, true, "a share"},
        {Rule::WalksFolder, kWindows, R"(\\server\share\\)", kHiddenSystemFolder, true, "joined"},
        {Rule::WalksFolder, kWindows, R"(\\server\share)", kHiddenSystemFolder, true, "unclosed"},
        {Rule::WalksFolder, kWindows, R"(\)", kHiddenSystemFolder, true, "this drive's root"},
        {Rule::WalksFolder, kWindows, R"(C:\Windows\)", kHiddenSystemFolder, false, "no root"},
        {Rule::WalksFolder, kWindows, R"(\\server\share\d\)", kHiddenSystemFolder, false, "below"},
        {Rule::WalksFolder, kWindows, R"(\\server\)", kHiddenSystemFolder, false, "a server"},
        {Rule::WalksFolder, kWindows, "C:", kHiddenSystemFolder, false, "drive C's current folder"},
        {Rule::WalksFolder, kWindows, "C:/", kHiddenSystemFolder, false, "/ is no separator"},
        {Rule::WalksFolder, kWindows, R"(AB:\)", kHiddenSystemFolder, false, "two letters"},
        {Rule::WalksFolder, kWindows, R"(C:\U\)", kHiddenSystemLink, false, "hidden system link"},
        {Rule::WalksFolder, kWindows, R"(C:\U\)", 23, true, "read-only too: not exactly 22"},
        {Rule::WalksFolder, kWindows, R"(C:\U\)", 18, true, "hidden, not system"},
        {Rule::WalksFolder, kWindows, R"(C:\U\)", kPlainFolder, true, "a plain folder"},
        {Rule::WalksFolder, kPosix, "/", kHiddenSystemFolder, true, "Linux's root"},
        {Rule::WalksFolder, kPosix, "//", kHiddenSystemFolder, true, "Linux's root, joined"},
        {Rule::WalksFolder, kPosix, "/home/", kHiddenSystemFolder, false, "below the root"},
        {Rule::WalksFolder, kPosix, R"(C:\)", kHiddenSystemFolder, false, "a name on Linux"},
        {Rule::SkipsFile, kWindows, R"(C:\d\h.ps)", kHiddenArchiveFile, true, "any name hides"},
        {Rule::SkipsFile, kWindows, R"(C:\h.ps)", kHiddenArchiveFile, true, "in a drive's root"},
        {Rule::SkipsFile, kWindows, R"(C:\d\h.ps)", 2, false, "hidden alone"},
        {Rule::SkipsFile, kWindows, R"(C:\d\h.ps)", 35, false, "read-only too: not exactly 34"},
        {Rule::SkipsFile, kWindows, R"(C:\d\.h.ps)", 32, false, "a dot hides nothing on Windows"},
        {Rule::SkipsFile, kPosix, "/d/.h.ps", kHiddenArchiveFile, true, "Linux: a dotted name"},
        {Rule::SkipsFile, kPosix, "/d/h.ps", kHiddenArchiveFile, false, "Linux: dotted names only"},
        {Rule::SkipsFile, kPosix, "/.d/h.ps", kHiddenArchiveFile, false, "a dotted folder"},
    };
    for (const auto& row : rows) {
        const QString path = QString::fromUtf8(row.path);
        const bool yes = row.rule == Rule::WalksFolder ? WalksFolder(row.style, path, row.word)
                                                       : SkipsFile(row.style, path, row.word);
        EXPECT_EQ(yes, row.yes) << row.path << ": " << row.why;
    }
}

} // namespace
