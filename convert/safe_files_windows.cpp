#include "convert/safe_files.h"

#include "base/error_numbers.h"
#include "base/failure.h"
#include "base/unique_handle_windows.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <io.h>

namespace velmora {

namespace {

QString errorText(DWORD error) {
    return qt_error_string(static_cast<int>(error)).trimmed();
}

// Gives the open handle to `file`, which closes it from then on; false when
// it cannot (the handle is closed).
bool handOver(UniqueHandle handle, int flags, QFile& file, QIODevice::OpenMode mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), flags);
    if (fd < 0) {
        return false;
    }
    handle.release();
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return false;
    }
    return true;
}

// A file on a disk, not a folder, pipe, console or other device.
bool isDiskFile(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Opens a file a Ghostscript made for reading, never through a symbolic
// link or junction (their own reparse point is opened, and refused). Sharing
// no deletion, the name names this very file for as long as it is open.
UniqueHandle openOwnOutput(const QString& path) {
    UniqueHandle handle = OwnHandle(
        CreateFileW(WideText(QDir::toNativeSeparators(path)), GENERIC_READ, FILE_SHARE_READ,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !isDiskFile(handle.get(), info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        throw Failure(QStringLiteral("File not found: ") + path, error_number::kFileNotFound);
    }
    return handle;
}

} // namespace

void OpenOwnOutput(const QString& path, QFile& file) {
    if (!handOver(openOwnOutput(path), _O_RDONLY | _O_BINARY, file, QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("File not found: ") + path, error_number::kFileNotFound);
    }
}

void LinkOrCopyOwnOutput(const QString& from, const QString& to) {
    // Held open while linking, so what is linked is the file just checked.
    QFile source;
    OpenOwnOutput(from, source);
    if (CreateHardLinkW(WideText(QDir::toNativeSeparators(to)),
                        WideText(QDir::toNativeSeparators(from)), nullptr)) {
        return;
    }
    CopyInto(source, to);
}

FileFailure OpenSource(const QString& path, QFile& file) {
    using Kind = FileFailure::Kind;
    const QString native = QDir::toNativeSeparators(path);
    const FileFailure notRegular = FileFailure::of(Kind::NotRegularFile);
    // A folder cannot even be opened as a file: tell its kind before trying.
    const DWORD attributes = GetFileAttributesW(WideText(native));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return notRegular;
    }
    // Opening never waits (a busy pipe fails at once); reading a device
    // could, so only a file on a disk is read.
    UniqueHandle handle = OwnHandle(CreateFileW(
        WideText(native), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        return FileFailure::of(Kind::Unreadable, errorText(GetLastError()));
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!isDiskFile(handle.get(), info)) {
        return notRegular;
    }
    if (info.nFileSizeHigh == 0 && info.nFileSizeLow == 0) {
        // Ghostscript makes a blank page of nothing; deliver nothing instead.
        return FileFailure::of(Kind::EmptyFile);
    }
    if (!handOver(std::move(handle), _O_RDONLY | _O_BINARY, file, QIODevice::ReadOnly)) {
        return FileFailure::of(Kind::Unreadable, file.errorString());
    }
    return {};
}

bool page_part::Create(const QString& part, const QString& target, QFile& out) {
    // A new file or none: never one that exists, nor through a link.
    UniqueHandle handle =
        OwnHandle(CreateFileW(WideText(QDir::toNativeSeparators(part)), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
            return false;
        }
        throw NotSaved(target, errorText(error));
    }
    if (!handOver(std::move(handle), _O_WRONLY | _O_BINARY, out,
                  QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        QFile::remove(part);
        throw NotSaved(target, out.errorString());
    }
    return true;
}

void page_part::Replace(const QString& part, const QString& target) {
    // The rename replaces a page of that name, or a link of that name, as a
    // whole and never writes through it. The page gets the folder's
    // permissions; a read-only page is not replaced, and says so.
    if (!MoveFileExW(WideText(QDir::toNativeSeparators(part)),
                     WideText(QDir::toNativeSeparators(target)), MOVEFILE_REPLACE_EXISTING)) {
        throw NotSaved(target, errorText(GetLastError()));
    }
}

} // namespace velmora
