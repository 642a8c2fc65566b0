#pragma once

#include <QString>

namespace velmora {

// The Windows attribute word of a path: 16 directory, 2 hidden, 1 read-only,
// 32 archive, 4 system, 1024 reparse point; 0 when the path does not exist.
// Windows keeps the word itself. Elsewhere it is derived from POSIX facts:
// hidden when the name begins with ".", read-only when the owner may not
// write, archive for regular files, reparse point for a symbolic link, and
// system never.
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
