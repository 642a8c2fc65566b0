#pragma once

#include <QString>

class QProcess;


// Children that start programs of their own (a script running Ghostscript,
// a sandbox around it) are stopped as a whole: each runs as the leader of
// its own session and process group, and stopping it stops the group.
namespace velmora {

// Makes the process, once started, the leader of a new session and process
// group, with
// an address-space limit when memoryLimitBytes is above 0.
void RunInOwnProcessGroup(QProcess& process, qint64 memoryLimitBytes);

// Ends the process and everything it started: SIGTERM to its group and its
// descendants (and, with a folder, every process working inside it), a short
// grace, SIGKILL to whatever is left until nothing is, and the process
// reaped. Blocks for a fraction of a second.
void StopProcessGroup(QProcess& process, const QString& folder = {});

} // namespace velmora
