#pragma once

#include "base/path_style.h"

#include <QString>

// What a folder walk enters and which files it keeps, decided from a path
// and its attribute word alone, by the rules of either system, so that both
// are known on any machine.
namespace velmora {

// A folder no system has above it: on Windows a drive's root ("C:\") or a
// network share's ("\\server\share\"), on Linux "/". Trailing separators do
// not count, since joining a root with one more gives "C:\\".
bool IsRootFolder(PathStyle style, const QString& path);

// True for the attribute words of folders the walk neither enters nor returns
// (exactly 22 hidden+system+directory, or 1046, the same plus reparse point).
bool IsSkippedFolderAttributeWord(unsigned word);

// True when the walk enters a folder and returns it: a root folder whatever
// its attribute word (a drive's root is hidden and system on NTFS), any
// other unless its word is exactly 22 or 1046 (hidden + system folder).
bool WalksFolder(PathStyle style, const QString& path, unsigned word);

// True when "Add All" and a dropped folder leave a file out for its
// attribute word: exactly 34 (hidden + archive). Windows keeps a hidden bit
// for any name; on Linux only a name beginning with "." is hidden.
bool SkipsFile(PathStyle style, const QString& path, unsigned word);

// False when no attribute word could make SkipsFile() true for a file of
// this name, so its word need not be asked of the system (on Linux, a name
// without a leading ".").
bool FileWordMatters(PathStyle style, const QString& name);

} // namespace velmora
