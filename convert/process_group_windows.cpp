#include "convert/process_group.h"

#include "convert/process_job_windows.h"

#include <QProcess>

namespace velmora {

void RunInOwnProcessGroup(QProcess& process, ChildLimits limits) {
    // The process is created suspended and put into its job object before
    // it runs a single instruction, so nothing it starts can escape the job.
    // Its own console, without a window, keeps the user's Ctrl-C from
    // reaching it: the run stops it, and cleans up after it. Windows has no
    // limit on the size of one file (limits.fileSizeBytes): there the job's
    // folder watcher alone keeps the write limit.
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
        arguments->flags |= CREATE_SUSPENDED | CREATE_NO_WINDOW;
    });
    // Qt announces the start from within start() itself, right after
    // creating the process.
    QObject::connect(&process, &QProcess::started, &process,
                     [&process, limits] { ProcessJob::confine(process, limits); });
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

bool EndedByFileSizeLimit(int /*exitStatus*/) {
    return false;
}

} // namespace velmora
