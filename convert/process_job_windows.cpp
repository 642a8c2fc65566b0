#include "convert/process_job_windows.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <chrono>

#include <tlhelp32.h>

namespace velmora {

namespace {

// The status every process of a stopped job ends with; how a stopped run
// ended is known without it.
constexpr UINT kStoppedStatus = 1;
// A terminated process lets go of its files a moment later, and nothing may
// still hold one in a folder about to be removed.
constexpr std::chrono::milliseconds kEndWait{1000};
constexpr std::chrono::milliseconds kEndPoll{10};
constexpr DWORD kResumeFailed = static_cast<DWORD>(-1);

bool setLimits(HANDLE job, ChildLimits limits) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION info{};
    // Closing the job ends what is in it, so nothing outlives the program;
    // a crash ends the process at once instead of waiting on an error box
    // that nobody may be there to close.
    info.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    if (limits.memoryBytes > 0) {
        info.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        info.ProcessMemoryLimit = static_cast<SIZE_T>(limits.memoryBytes);
    }
    return SetInformationJobObject(job, JobObjectExtendedLimitInformation, &info, sizeof(info)) !=
           0;
}

// Qt keeps the thread handle of the process it creates to itself, so the
// main thread is found among the system's threads by its process: the only
// thread of a process created suspended.
bool resumeThreads(DWORD processId) {
    const UniqueHandle snapshot = OwnHandle(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return false;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    bool resumed = false;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != processId) {
            continue;
        }
        const UniqueHandle thread =
            OwnHandle(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        if (thread && ResumeThread(thread.get()) != kResumeFailed) {
            resumed = true;
        }
    }
    return resumed;
}

} // namespace

ProcessJob::ProcessJob(QProcess& process, UniqueHandle job)
    : QObject(&process), m_job(std::move(job)), m_processId(process.processId()) {}

ProcessJob* ProcessJob::of(const QProcess& process) {
    for (QObject* child : process.children()) {
        if (auto* job = dynamic_cast<ProcessJob*>(child)) {
            return job;
        }
    }
    return nullptr;
}

void ProcessJob::confine(QProcess& process, ChildLimits limits) {
    ProcessJob* earlier = of(process);
    if (earlier != nullptr && earlier->m_processId == process.processId()) {
        return;
    }
    // An earlier start's job goes, with whatever that start left in it.
    delete earlier;
    const auto processId = static_cast<DWORD>(process.processId());
    // Qt holds the process's own handle, so its id names no other process.
    const UniqueHandle child =
        OwnHandle(OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, processId));
    UniqueHandle job = OwnHandle(CreateJobObjectW(nullptr, nullptr));
    if (!child || !job || !setLimits(job.get(), limits) ||
        !AssignProcessToJobObject(job.get(), child.get())) {
        qWarning("Could not put a child process into a job object: %s",
                 qPrintable(qt_error_string()));
        process.kill();
        return;
    }
    new ProcessJob(process, std::move(job));
    if (!resumeThreads(processId)) {
        qWarning("Could not let a child process run: %s", qPrintable(qt_error_string()));
        process.kill();
    }
}

void ProcessJob::endAll() {
    TerminateJobObject(m_job.get(), kStoppedStatus);
    QElapsedTimer clock;
    clock.start();
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    while (QueryInformationJobObject(m_job.get(), JobObjectBasicAccountingInformation, &info,
                                     sizeof(info), nullptr) &&
           info.ActiveProcesses > 0 && clock.elapsed() < kEndWait.count()) {
        QThread::msleep(static_cast<unsigned long>(kEndPoll.count()));
    }
}

} // namespace velmora
