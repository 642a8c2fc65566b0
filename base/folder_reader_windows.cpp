#include "base/folder_reader.h"

#include "base/error_numbers.h"
#include "base/unique_handle_windows.h"

#include <QDir>

// Folders are read with the find API, which hands over each entry's
// attributes with its name, so most entries need no second question.

namespace velmora {

namespace {

// A failed call (GetLastError) as the numbered Failure the callers' traps expect.
Failure systemFailure(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return Failure(QStringLiteral("Permission denied"), error_number::kPermissionDenied);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME:
        return Failure(QStringLiteral("Path not found"), error_number::kPathNotFound);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
        return Failure(QStringLiteral("Device I/O error"), error_number::kDeviceIoError);
    case ERROR_FILENAME_EXCED_RANGE:
        return Failure(QStringLiteral("Bad file name or number"),
                       error_number::kBadFileNameOrNumber);
    default:
        return Failure(QStringLiteral("Windows error %1").arg(error), 0);
    }
}

QString systemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = length > 0 ? QString::fromWCharArray(buffer, length).trimmed()
                              : QStringLiteral("Windows error %1").arg(error);
    ::LocalFree(buffer);
    return text;
}

bool isDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

EntryKind kindOf(DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return EntryKind::Link; // a symbolic link or a junction: followed on demand
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return EntryKind::Folder;
    }
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
        return EntryKind::Other;
    }
    return EntryKind::File;
}

// Opens a path for questions only, following links; folders need the
// backup-semantics flag to be opened at all.
UniqueHandle openForQuestions(const QString& path) {
    return OwnHandle(::CreateFileW(WideText(QDir::toNativeSeparators(path)), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(const UniqueHandle& handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || ::GetFileInformationByHandle(handle.get(), &info) == 0) {
        return std::nullopt;
    }
    return info;
}

QString withSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/'))
               ? folder
               : folder + QLatin1Char('\\');
}

} // namespace

struct FolderReader::State {
    QString folder; // ends in a separator
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false; // data holds an entry not yet handed out
};

FolderReader::FolderReader(const QString& folder) : m_state(std::make_unique<State>()) {
    m_state->folder = withSeparator(folder);
    const QString pattern = QDir::toNativeSeparators(m_state->folder) + QLatin1Char('*');
    m_state->find = ::FindFirstFileExW(WideText(pattern), FindExInfoBasic, &m_state->data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (m_state->find != INVALID_HANDLE_VALUE) {
        m_state->pending = true;
        return;
    }
    const DWORD error = ::GetLastError();
    // A drive's root has no "." entry: an empty one finds nothing at all.
    const DWORD attributes = ::GetFileAttributesW(WideText(QDir::toNativeSeparators(folder)));
    if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return;
    }
    throw systemFailure(error);
}

FolderReader::~FolderReader() {
    if (m_state->find != INVALID_HANDLE_VALUE) {
        ::FindClose(m_state->find);
    }
}

std::optional<FolderEntry> FolderReader::next() {
    for (;;) {
        if (m_state->find == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        if (!m_state->pending) {
            if (::FindNextFileW(m_state->find, &m_state->data) == 0) {
                const DWORD error = ::GetLastError();
                if (error == ERROR_NO_MORE_FILES) {
                    return std::nullopt;
                }
                throw systemFailure(error);
            }
        }
        m_state->pending = false;
        const WIN32_FIND_DATAW& data = m_state->data;
        if (!isDotOrDotDot(data.cFileName)) {
            return FolderEntry{QString::fromWCharArray(data.cFileName),
                               kindOf(data.dwFileAttributes)};
        }
    }
}

bool FolderReader::isRegularFile(const FolderEntry& entry) const {
    if (entry.kind == EntryKind::File) {
        return true;
    }
    return entry.kind == EntryKind::Link && FileExists(m_state->folder + entry.name);
}

std::optional<FolderId> FolderReader::folderId(const FolderEntry& entry) const {
    return FolderIdOf(m_state->folder + entry.name);
}

bool FolderReader::entriesReachable() const {
    return true; // Windows has no search permission apart from listing
}

std::optional<FolderId> FolderIdOf(const QString& path) {
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = informationOf(openForQuestions(path));
    if (!info || (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::nullopt;
    }
    constexpr int kHighShift = 32;
    return FolderId{info->dwVolumeSerialNumber,
                    (static_cast<quint64>(info->nFileIndexHigh) << kHighShift) |
                        info->nFileIndexLow};
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const UniqueHandle handle = openForQuestions(path);
    if (!handle || ::GetFileType(handle.get()) != FILE_TYPE_DISK) {
        return false;
    }
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = informationOf(handle);
    return info && (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<QString> WhyUnreachable(const QString& path) {
    if (::GetFileAttributesW(WideText(QDir::toNativeSeparators(path))) != INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    return systemMessage(::GetLastError());
}

} // namespace velmora
