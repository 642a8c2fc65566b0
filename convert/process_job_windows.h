#pragma once

#include "base/unique_handle_windows.h"
#include "convert/process_group.h"

#include <QObject>

class QProcess;

namespace velmora {

// Windows only. The job object that holds one started process and every
// process it starts: the only confinement Ghostscript has on Windows. It is
// a child of the QProcess, so when that goes the job's handle closes and the
// system ends whatever is still in the job.
class ProcessJob : public QObject {
public:
    // Puts `process`, just created suspended as `created` tells, into a new
    // job within `limits`, then lets it run. A process that cannot be put
    // into a job is ended, never left to run unconfined. Does nothing
    // without `created`.
    static void confine(QProcess& process, const PROCESS_INFORMATION* created, ChildLimits limits);
    // The job of the process's latest start; nullptr when it has none.
    static ProcessJob* of(const QProcess& process);

    // Ends every process in the job and waits, briefly, until none is left.
    void endAll();
    // Ends every process in the job, without waiting.
    void endAllNow();
    // Whether no process of the job is left.
    bool isEmpty() const;

private:
    ProcessJob(QProcess& process, UniqueHandle job);

    UniqueHandle m_job;
};

} // namespace velmora
