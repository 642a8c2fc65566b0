#include "convert/process_group.h"

#include "convert/process_job_windows.h"

#include <QProcess>

#include <chrono>
#include <memory>
#include <utility>

namespace velmora {

void RunInOwnProcessGroup(QProcess& process, ChildLimits limits) {
    // The process is created suspended and put into its job object before
    // it runs a single instruction, so nothing it starts can escape the job.
    // Its own console, without a window, keeps the user's Ctrl-C from
    // reaching it: the run stops it, and cleans up after it. Windows has no
    // limit on the size of one file (limits.fileSizeBytes): there the job's
    // folder watcher alone keeps the write limit.
    //
    // Qt hands the modifier its own PROCESS_INFORMATION, which CreateProcess
    // fills and Qt keeps, handles open, until it cleans up after the
    // process's end; and Qt announces started() from within start(), right
    // after creating the process. So the handler finds there the main
    // thread's handle, which Qt offers no other way, with no window in which
    // the process could end and its id be reused.
    auto created = std::make_shared<PROCESS_INFORMATION*>(nullptr);
    process.setCreateProcessArgumentsModifier(
        [created](QProcess::CreateProcessArguments* arguments) {
            arguments->flags |= CREATE_SUSPENDED | CREATE_NO_WINDOW;
            *created = arguments->processInformation;
        });
    QObject::connect(&process, &QProcess::started, &process, [&process, limits, created] {
        ProcessJob::confine(process, std::exchange(*created, nullptr), limits);
    });
}

void StopProcessGroup(QProcess& process, const QString& /*folder*/) {
    // Whatever the process started stays in its job, even once the process
    // itself has ended: no need to look for what works in the folder.
    if (ProcessJob* job = ProcessJob::of(process)) {
        job->endAll();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(-1);
    }
}

namespace {

// How often a stopped job is looked at until nothing in it is left.
constexpr std::chrono::milliseconds kStopPoll{10};

} // namespace

ProcessTreeStop::ProcessTreeStop(QProcess& process, QString folder, QObject* parent)
    : QObject(parent), m_process(process), m_folder(std::move(folder)) {
    // Whatever the process started stays in its job, even once the process
    // itself has ended: ending the job ends it all.
    if (ProcessJob* job = ProcessJob::of(process)) {
        job->endAllNow();
    } else if (process.state() != QProcess::NotRunning) {
        process.kill();
    }
    m_clock.start();
    connect(&m_tick, &QTimer::timeout, this, &ProcessTreeStop::look);
    m_tick.start(kStopPoll);
}

void ProcessTreeStop::look() {
    const ProcessJob* job = ProcessJob::of(m_process);
    if ((job == nullptr || job->isEmpty()) && m_process.state() == QProcess::NotRunning) {
        m_tick.stop();
        m_over = true;
        emit ended();
    }
}

bool EndedByFileSizeLimit(int /*exitStatus*/) {
    return false;
}

} // namespace velmora
