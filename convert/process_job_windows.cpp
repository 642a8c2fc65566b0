#include "convert/process_job_windows.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <chrono>

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

} // namespace

ProcessJob::ProcessJob(QProcess& process, UniqueHandle job)
    : QObject(&process), m_job(std::move(job)) {}

ProcessJob* ProcessJob::of(const QProcess& process) {
    for (QObject* child : process.children()) {
        if (auto* job = dynamic_cast<ProcessJob*>(child)) {
            return job;
        }
    }
    return nullptr;
}

void ProcessJob::confine(QProcess& process, const PROCESS_INFORMATION* created,
                         ChildLimits limits) {
    if (created == nullptr) {
        return;
    }
    // An earlier start's job goes, with whatever that start left in it.
    delete of(process);
    UniqueHandle job = OwnHandle(CreateJobObjectW(nullptr, nullptr));
    if (static_cast<qint64>(created->dwProcessId) != process.processId() || !job ||
        !setLimits(job.get(), limits) || !AssignProcessToJobObject(job.get(), created->hProcess)) {
        qWarning("Could not put a child process into a job object: %s",
                 qPrintable(qt_error_string()));
        process.kill();
        return;
    }
    new ProcessJob(process, std::move(job));
    if (ResumeThread(created->hThread) == kResumeFailed) {
        qWarning("Could not let a child process run: %s", qPrintable(qt_error_string()));
        process.kill();
    }
}

void ProcessJob::endAll() {
    endAllNow();
    QElapsedTimer clock;
    clock.start();
    while (!isEmpty() && clock.elapsed() < kEndWait.count()) {
        QThread::msleep(static_cast<unsigned long>(kEndPoll.count()));
    }
}

void ProcessJob::endAllNow() {
    TerminateJobObject(m_job.get(), kStoppedStatus);
}

bool ProcessJob::isEmpty() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    return !QueryInformationJobObject(m_job.get(), JobObjectBasicAccountingInformation, &info,
                                      sizeof(info), nullptr) ||
           info.ActiveProcesses == 0;
}

} // namespace velmora
