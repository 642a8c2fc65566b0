#pragma once

#include <QString>

#include <memory>

namespace velmora {

// A run's claim on its work folder for as long as the run lives: a file in
// it held locked, which the system lets go of however the program ends
// (the out-of-memory killer, a preempted task, kill -9). On Posix an flock
// on the file; on Windows the file held open without delete sharing.
class WorkFolderLock {
public:
    // Takes the lock of a work folder this run has just made; nullptr when
    // it cannot, and then the folder shows no lock to be judged by.
    static std::unique_ptr<WorkFolderLock> take(const QString& runFolder);
    ~WorkFolderLock();

    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;

private:
    struct Handle;
    explicit WorkFolderLock(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> m_handle;
};

// Whether `folder` is a work folder that no living run holds: a real folder
// (no link) of this user, with a lock file nobody holds. A folder without a
// lock file is never judged abandoned: its run may be starting.
bool IsAbandonedWorkFolder(const QString& folder);

// Removes, from the temp folder a run uses, the work folders of runs that
// ended without removing theirs: the copies of the user's documents in them
// would otherwise stay for good.
void RemoveAbandonedWorkFolders(const QString& tempFolder);

} // namespace velmora
