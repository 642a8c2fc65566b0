#pragma once

#include <QString>

class QProcess;

// Children that start programs of their own (a script running Ghostscript,
// a sandbox around it) are stopped as a whole. On Posix each runs as the
// leader of its own session and process group, and stopping it stops the
// group; on Windows each runs in a job object of its own, with everything it
// starts, and stopping it ends the job.
namespace velmora {

// A shell reports a child ended by signal N as status 128 + N.
inline constexpr int kSignalStatusBase = 128;

// Limits a child and everything it starts; 0 is no limit.
struct ChildLimits {
    qint64 memoryBytes = 0;   // address space (Windows: committed memory) of each process
    qint64 fileSizeBytes = 0; // size of each file it writes (past it: SIGXFSZ); Posix only
};

// Makes the process, once started, the leader of a new session and process
// group (Windows: the only process of a new job object, which everything it
// starts joins), within the given limits.
void RunInOwnProcessGroup(QProcess& process, ChildLimits limits = {});

// Ends the process and everything it started: SIGTERM to its group and its
// descendants (and, with a folder, every process working inside it), a short
// grace, SIGKILL to whatever is left until nothing is, and the process
// reaped. On Windows the whole job ends at once. Blocks for a fraction of a
// second.
void StopProcessGroup(QProcess& process, const QString& folder = {});

// Whether a child that ended with this status (a shell's: 128 + N for signal
// N) was ended by the system's limit on the size of a file it wrote. Never on
// Windows, which has no such limit.
bool EndedByFileSizeLimit(int exitStatus);

} // namespace velmora
