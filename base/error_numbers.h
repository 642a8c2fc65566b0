#pragma once

#include <QtGlobal>

// The run-time error numbers a Failure carries (53 "File not found", ...).
// Error reports show them, and callers decide by them (a folder walk drops a folder on
// kPermissionDenied and kPathNotFound only), so each is written here once.
namespace velmora::error_number {

inline constexpr qint64 kTypeMismatch = 13;
inline constexpr qint64 kBadFileNameOrNumber = 52;
inline constexpr qint64 kFileNotFound = 53;
inline constexpr qint64 kDeviceIoError = 57;
inline constexpr qint64 kPermissionDenied = 70;
inline constexpr qint64 kPathNotFound = 76;
inline constexpr qint64 kInvalidPropertyValue = 380;
inline constexpr qint64 kInvalidPicture = 481;

} // namespace velmora::error_number
