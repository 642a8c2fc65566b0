#pragma once

#include <QString>

namespace velmora {

// The Windows attribute word of a path, derived from POSIX facts:
// 16 directory, 2 hidden (name begins with "."), 1 read-only (the owner may
// not write), 32 archive (regular files), 1024 reparse point (symbolic link);
// 4 system never. 0 when the path does not exist.
enum AttributeBits : unsigned {
    ReadOnlyAttribute = 1,
    HiddenAttribute = 2,
    SystemAttribute = 4,
    DirectoryAttribute = 16,
    ArchiveAttribute = 32,
    ReparsePointAttribute = 1024,
};

unsigned AttributeWord(const QString& path);

} // namespace velmora
