#pragma once

#include <QString>

class QProcess;

// Children that start programs of their own (a script running Ghostscript,
// a sandbox around it) are stopped as a whole: each runs as the leader of
// its own session and process group, and stopping it stops the group.
namespace velmora {

// Limits a child and everything it starts; 0 is no limit.
struct ChildLimits {
    qint64 memoryBytes = 0;   // address space of each process
    qint64 fileSizeBytes = 0; // size of each file it writes (past it: SIGXFSZ)
};

// Makes the process, once started, the leader of a new session and process
// group, within the given limits.
void RunInOwnProcessGroup(QProcess& process, ChildLimits limits = {});

// Ends the process and everything it started: SIGTERM to its group and its
// descendants (and, with a folder, every process working inside it), a short
// grace, SIGKILL to whatever is left until nothing is, and the process
// reaped. Blocks for a fraction of a second.
void StopProcessGroup(QProcess& process, const QString& folder = {});

} // namespace velmora
