#include "convert/safe_files.h"

#include "base/error_numbers.h"
#include "base/failure.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace velmora {

namespace {

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

void OpenOwnOutput(const QString& path, QFile& file) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        throw Failure(QStringLiteral("File not found: ") + path, error_number::kFileNotFound);
    }
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

void LinkOrCopyOwnOutput(const QString& from, const QString& to) {
    const QByteArray native = QFile::encodeName(from);
    struct stat info {};
    const bool regular = ::lstat(native.constData(), &info) == 0 && S_ISREG(info.st_mode);
    if (regular && ::link(native.constData(), QFile::encodeName(to).constData()) == 0) {
        return;
    }
    QFile source;
    OpenOwnOutput(from, source);
    CopyInto(source, to);
}

FileFailure OpenSource(const QString& path, QFile& file) {
    using Kind = FileFailure::Kind;
    const QByteArray native = QFile::encodeName(path);
    const FileFailure notRegular = FileFailure::of(Kind::NotRegularFile);
    // A socket cannot even be opened: tell its kind before trying.
    struct stat kind {};
    if (::stat(native.constData(), &kind) == 0 && !S_ISREG(kind.st_mode)) {
        return notRegular;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return FileFailure::of(Kind::Unreadable, errnoText(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notRegular;
    }
    if (info.st_size == 0) {
        ::close(fd);
        // Ghostscript makes a blank page of nothing; deliver nothing instead.
        return FileFailure::of(Kind::EmptyFile);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return {};
}

bool page_part::Create(const QString& part, const QString& target, QFile& out) {
    const int fd = ::open(QFile::encodeName(part).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) {
            return false;
        }
        throw NotSaved(target, errnoText(errno));
    }
    struct stat existing {};
    if (::lstat(QFile::encodeName(target).constData(), &existing) == 0 &&
        S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
    }
    out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    return true;
}

void page_part::Replace(const QString& part, const QString& target) {
    std::error_code error;
    std::filesystem::rename(fsPath(part), fsPath(target), error);
    if (error) {
        throw NotSaved(target, QString::fromLocal8Bit(error.message().c_str()));
    }
}

} // namespace velmora
