#pragma once

// Windows only: system handles owned the RAII way, and Qt text handed to the
// wide-character calls.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QString>

#include <memory>
#include <type_traits>

namespace velmora {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// Holds nothing when empty; OwnHandle() turns the two ways the system says
// "no handle" (NULL, INVALID_HANDLE_VALUE) into that empty state.
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

inline UniqueHandle OwnHandle(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// The text as the wide-character calls take it; valid while `text` lives.
inline const wchar_t* WideText(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

} // namespace velmora
