#include "filelist/file_attributes.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace velmora {

// Windows keeps the attribute word itself; only the bits the list's rules
// read are passed on.
unsigned AttributeWord(const QString& path) {
    if (path.isEmpty()) {
        return 0;
    }
    const DWORD word = ::GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
    if (word == INVALID_FILE_ATTRIBUTES) {
        return 0;
    }
    constexpr unsigned kKnown = ReadOnlyAttribute | HiddenAttribute | SystemAttribute |
                                DirectoryAttribute | ArchiveAttribute | ReparsePointAttribute;
    return static_cast<unsigned>(word) & kKnown;
}

} // namespace velmora
