#pragma once

#include <QtGlobal>

class QProcess;

// Children that start programs of their own (a script running Ghostscript,
// a sandbox around it) are stopped as a whole: each runs as the leader of
// its own session and process group, and stopping it stops the group.
namespace velmora {

// Makes the process, once started, the leader of a new session and process
// group, with
// an address-space limit when memoryLimitBytes is above 0.
void RunInOwnProcessGroup(QProcess& process, qint64 memoryLimitBytes);

// Ends the process and everything it started: SIGTERM to its group, a short
// grace, SIGKILL to whatever is left, and the process reaped. Blocks for at
// most the grace period plus the reaping.
void StopProcessGroup(QProcess& process);

} // namespace velmora
