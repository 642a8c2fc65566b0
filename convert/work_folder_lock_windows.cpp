#include "convert/work_folder_lock.h"

#include "base/unique_handle_windows.h"
#include "convert/work_layout.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

struct WorkFolderLock::Handle {
    UniqueHandle file;
};

WorkFolderLock::WorkFolderLock(std::unique_ptr<Handle> handle) : m_handle(std::move(handle)) {}

WorkFolderLock::~WorkFolderLock() = default;

std::unique_ptr<WorkFolderLock> WorkFolderLock::take(const QString& runFolder) {
    // Made and held open at once, without delete sharing: while it is open
    // nobody can delete it, and once the program has gone anybody can.
    auto handle = std::make_unique<Handle>();
    handle->file = OwnHandle(CreateFileW(
        WideText(QDir::toNativeSeparators(WorkLayout::lockFile(runFolder))), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle->file) {
        return nullptr;
    }
    return std::unique_ptr<WorkFolderLock>(new WorkFolderLock(std::move(handle)));
}

bool IsAbandonedWorkFolder(const QString& folder) {
    // The temp folder is the user's own on Windows: what lies in it is theirs.
    const QFileInfo info(folder);
    if (!info.isDir() || info.isSymLink() || info.isJunction()) {
        return false;
    }
    // Deleting the lock works only when no living run holds it open.
    return DeleteFileW(WideText(QDir::toNativeSeparators(WorkLayout::lockFile(folder)))) != 0;
}

} // namespace velmora
