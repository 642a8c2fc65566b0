#include "base/folder_reader.h"

#include "base/error_numbers.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Folders are read with readdir rather than through QDir: "Add All" on
// archives of 100,000 files must stay within twice the time of find(1), and
// QDir's per-entry file info costs several times that. The entry type
// readdir reports spares most per-file system calls.

namespace velmora {

namespace {

// A failed system call (errno) as the numbered Failure the callers' traps expect.
Failure systemFailure(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return Failure(QStringLiteral("Permission denied"), error_number::kPermissionDenied);
    case ENOENT:
    case ENOTDIR:
        return Failure(QStringLiteral("Path not found"), error_number::kPathNotFound);
    case EIO:
        return Failure(QStringLiteral("Device I/O error"), error_number::kDeviceIoError);
    case ENAMETOOLONG:
        return Failure(QStringLiteral("Bad file name or number"),
                       error_number::kBadFileNameOrNumber);
    default:
        return Failure(QString::fromLocal8Bit(std::strerror(error)), 0);
    }
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A name that is not valid UTF-8 decodes with replacement characters and no
// longer names the entry; such entries cannot be reached through a path text.
bool decodesFaithfully(const QString& name, const char* raw) {
    if (!name.contains(QChar::ReplacementCharacter)) {
        return true;
    }
    return QFile::encodeName(name) == QByteArray(raw);
}

EntryKind kindOf(unsigned char type) {
    switch (type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        return EntryKind::Link;
    case DT_UNKNOWN:
        return EntryKind::Unknown;
    default:
        return EntryKind::Other;
    }
}

} // namespace

struct FolderReader::State {
    QByteArray native;
    DIR* dir = nullptr;
};

FolderReader::FolderReader(const QString& folder) : m_state(std::make_unique<State>()) {
    m_state->native = QFile::encodeName(folder);
    m_state->dir = ::opendir(m_state->native.constData());
    if (m_state->dir == nullptr) {
        throw systemFailure(errno);
    }
}

FolderReader::~FolderReader() {
    ::closedir(m_state->dir);
}

std::optional<FolderEntry> FolderReader::next() {
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(m_state->dir);
        if (entry == nullptr) {
            if (errno != 0) {
                throw systemFailure(errno);
            }
            return std::nullopt;
        }
        const char* raw = entry->d_name;
        if (isDotOrDotDot(raw)) {
            continue;
        }
        QString name = QFile::decodeName(raw);
        if (decodesFaithfully(name, raw)) {
            return FolderEntry{std::move(name), kindOf(entry->d_type)};
        }
    }
}

bool FolderReader::isRegularFile(const FolderEntry& entry) const {
    if (entry.kind == EntryKind::File) {
        return true;
    }
    struct stat info {};
    return ::fstatat(::dirfd(m_state->dir), QFile::encodeName(entry.name).constData(), &info, 0) ==
               0 &&
           S_ISREG(info.st_mode);
}

std::optional<FolderId> FolderReader::folderId(const FolderEntry& entry) const {
    struct stat info {};
    if (::fstatat(::dirfd(m_state->dir), QFile::encodeName(entry.name).constData(), &info, 0) !=
            0 ||
        !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return FolderId{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

bool FolderReader::entriesReachable() const {
    return ::faccessat(AT_FDCWD, m_state->native.constData(), X_OK, AT_EACCESS) == 0;
}

std::optional<FolderId> FolderIdOf(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (native.size() >= PATH_MAX || ::stat(native.constData(), &info) != 0 ||
        !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    return FolderId{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino)};
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<QString> WhyUnreachable(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        return std::nullopt;
    }
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace velmora
