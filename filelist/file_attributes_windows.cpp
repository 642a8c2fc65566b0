#include "filelist/file_attributes.h"

#include "base/unique_handle_windows.h"

namespace velmora {

// Windows keeps the attribute word itself; only the bits the list's rules
// read are passed on.
unsigned AttributeWord(const QString& path) {
    if (path.isEmpty()) {
        return 0;
    }
    const DWORD word = ::GetFileAttributesW(WideText(path));
    if (word == INVALID_FILE_ATTRIBUTES) {
        return 0;
    }
    constexpr unsigned kKnown = ReadOnlyAttribute | HiddenAttribute | SystemAttribute |
                                DirectoryAttribute | ArchiveAttribute | ReparsePointAttribute;
    return static_cast<unsigned>(word) & kKnown;
}

} // namespace velmora
