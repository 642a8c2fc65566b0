#include "convert/work_folder_lock.h"

#include "convert/work_layout.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

struct WorkFolderLock::Handle {
    int descriptor = -1;
    ~Handle() { ::close(descriptor); }
};

WorkFolderLock::WorkFolderLock(std::unique_ptr<Handle> handle) : m_handle(std::move(handle)) {}

WorkFolderLock::~WorkFolderLock() = default;

std::unique_ptr<WorkFolderLock> WorkFolderLock::take(const QString& runFolder) {
    const QByteArray lock = QFile::encodeName(WorkLayout::lockFile(runFolder));
    // Locked under another name, then named: another run never finds the
    // lock file unlocked while this one lives.
    const QByteArray staged = lock + ".new";
    auto handle = std::make_unique<Handle>();
    handle->descriptor =
        ::open(staged.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
               S_IRUSR | S_IWUSR);
    if (handle->descriptor < 0) {
        return nullptr;
    }
    if (::flock(handle->descriptor, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(staged.constData(), lock.constData()) != 0) {
        ::unlink(staged.constData());
        return nullptr;
    }
    return std::unique_ptr<WorkFolderLock>(new WorkFolderLock(std::move(handle)));
}

bool IsAbandonedWorkFolder(const QString& folder) {
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid()) {
        return false;
    }
    const int descriptor = ::open(QFile::encodeName(WorkLayout::lockFile(folder)).constData(),
                                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    // Nobody holds it: its run has ended. The lock taken here goes with the
    // descriptor; no run takes the lock of a folder it did not make.
    const bool free = ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
    ::close(descriptor);
    return free;
}

} // namespace velmora
