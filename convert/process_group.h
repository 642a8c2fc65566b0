#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

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

// Ends a started child and everything it started without ever waiting on
// the caller's thread, so several end at once and the window stays live: on
// Posix SIGTERM at once to its group and its descendants (and, with a
// folder, every process working inside it), then after a short grace SIGKILL
// to whatever is left, looked at again until nothing is; on Windows the
// child's job ends at once. ended() follows from the event loop once nothing
// of it is left and the child is reaped.
class ProcessTreeStop : public QObject {
    Q_OBJECT
public:
    ProcessTreeStop(QProcess& process, QString folder, QObject* parent = nullptr);

    bool isOver() const { return m_over; }

signals:
    void ended();

private:
    void look();

    QProcess& m_process;
    QString m_folder;
    qint64 m_root = -1;
    QTimer m_tick;
    QElapsedTimer m_clock;
    bool m_over = false;
};

// The same, for a child that must not outlive its owner: waits, blocking,
// until nothing of it is left. Takes a fraction of a second; only for
// teardown.
void StopProcessGroup(QProcess& process, const QString& folder = {});

// Whether a child that ended with this status (a shell's: 128 + N for signal
// N) was ended by the system's limit on the size of a file it wrote. Never on
// Windows, which has no such limit.
bool EndedByFileSizeLimit(int exitStatus);

} // namespace velmora
