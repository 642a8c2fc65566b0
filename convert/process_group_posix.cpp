#include "convert/process_group.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <utility>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace velmora {

namespace {

// How long a stopped group gets to end after SIGTERM before SIGKILL, and how
// often what is left is looked for (a look reads the process table).
constexpr std::chrono::milliseconds kStopGrace{200};
constexpr std::chrono::milliseconds kStopPoll{10};
constexpr std::chrono::milliseconds kEndWait{1000};

// How long one reading of the process table serves: the children of a run
// stopped together are looked at together, and read the table once.
constexpr std::chrono::milliseconds kTableAge{5};

// The processes the system lists: id, parent, group and working folder,
// skipping those that have ended (zombies wait for their parent, which can
// take a while).
struct ProcessEntry {
    pid_t pid;
    pid_t parent;
    pid_t group;
    QString folder;
};

QList<ProcessEntry> readProcessTable() {
    QList<ProcessEntry> entries;
    const QStringList names =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool numeric = false;
        const int pid = name.toInt(&numeric);
        if (!numeric) {
            continue;
        }
        QFile stat(QStringLiteral("/proc/%1/stat").arg(name));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // "pid (name) state parent group ...": the name may hold anything.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[0] != "Z" && fields[0] != "X") {
            entries.append({static_cast<pid_t>(pid), static_cast<pid_t>(fields[1].toInt()),
                            static_cast<pid_t>(fields[2].toInt()),
                            QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(name))});
        }
    }
    return entries;
}

// The table as read at most kTableAge ago. UI thread only, like the rest.
const QList<ProcessEntry>& livingProcesses() {
    static QList<ProcessEntry> table;
    static QElapsedTimer age;
    if (!age.isValid() || age.elapsed() >= kTableAge.count()) {
        table = readProcessTable();
        age.start();
    }
    return table;
}

bool worksIn(const ProcessEntry& entry, const QString& folder) {
    return entry.folder == folder || entry.folder.startsWith(folder + QLatin1Char('/'));
}

// The root, its process group, every process below the root, and every
// process working inside `folder` (when given). A sandbox puts what runs
// inside into a session of its own, out of the group's reach, and once the
// sandbox's own process has ended its children no longer hang below the
// root: their working folder still tells them.
QList<pid_t> processTree(pid_t root, const QString& folder) {
    const QList<ProcessEntry>& entries = livingProcesses();
    QList<pid_t> tree;
    for (const ProcessEntry& entry : entries) {
        if ((root > 0 && (entry.pid == root || entry.group == root)) ||
            (!folder.isEmpty() && worksIn(entry, folder))) {
            tree.append(entry.pid);
        }
    }
    for (qsizetype i = 0; i < tree.size(); ++i) {
        for (const ProcessEntry& entry : entries) {
            if (entry.parent == tree[i] && !tree.contains(entry.pid)) {
                tree.append(entry.pid);
            }
        }
    }
    return tree;
}

void signalAll(const QList<pid_t>& pids, int signal) {
    for (pid_t pid : pids) {
        ::kill(pid, signal);
    }
}

} // namespace

void RunInOwnProcessGroup(QProcess& process, ChildLimits limits) {
    // Runs in the child between fork and exec: async-signal-safe calls only.
    process.setChildProcessModifier([limits] {
        // A session of its own: a group to stop as a whole, and no
        // controlling terminal that a document could type into.
        ::setsid();
        if (limits.memoryBytes > 0) {
            const rlimit limit{static_cast<rlim_t>(limits.memoryBytes),
                               static_cast<rlim_t>(limits.memoryBytes)};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        if (limits.fileSizeBytes > 0) {
            const rlimit limit{static_cast<rlim_t>(limits.fileSizeBytes),
                               static_cast<rlim_t>(limits.fileSizeBytes)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
    });
}

void StopProcessGroup(QProcess& process, const QString& folder) {
    // A process that ended may have left children working in the folder.
    const pid_t root =
        process.state() != QProcess::NotRunning ? static_cast<pid_t>(process.processId()) : -1;
    if (root > 0) {
        ::kill(-root, SIGTERM);
    }
    signalAll(processTree(root, folder), SIGTERM);
    QElapsedTimer clock;
    clock.start();
    if (root > 0) {
        process.waitForFinished(static_cast<int>(kStopGrace.count()));
    }
    while (!processTree(root, folder).isEmpty() && clock.elapsed() < kStopGrace.count()) {
        QThread::msleep(static_cast<unsigned long>(kStopPoll.count()));
    }
    if (root > 0) {
        ::kill(-root, SIGKILL);
    }
    // A process may start another while the signals go out: look again
    // until nothing is left. SIGKILL takes effect at once but ends a process
    // only soon after, and nothing may still work in a folder about to be
    // removed.
    clock.restart();
    for (QList<pid_t> left = processTree(root, folder);
         !left.isEmpty() && clock.elapsed() < kEndWait.count(); left = processTree(root, folder)) {
        signalAll(left, SIGKILL);
        QThread::msleep(static_cast<unsigned long>(kStopPoll.count()));
    }
    if (process.state() != QProcess::NotRunning) {
        process.waitForFinished(-1);
    }
}

ProcessTreeStop::ProcessTreeStop(QProcess& process, QString folder, QObject* parent)
    : QObject(parent), m_process(process), m_folder(std::move(folder)) {
    // A process that ended may have left children working in the folder.
    if (process.state() != QProcess::NotRunning) {
        m_root = process.processId();
        ::kill(-static_cast<pid_t>(m_root), SIGTERM);
    }
    // What escaped the group (a sandbox's own session) is found by the looks
    // that follow, and killed after the grace.
    m_clock.start();
    connect(&m_tick, &QTimer::timeout, this, &ProcessTreeStop::look);
    m_tick.start(kStopPoll);
}

void ProcessTreeStop::look() {
    const auto root = static_cast<pid_t>(m_root);
    const QList<pid_t> left = processTree(root, m_folder);
    // The child itself is reaped by Qt, in its own time.
    if (left.isEmpty() && m_process.state() == QProcess::NotRunning) {
        m_tick.stop();
        m_over = true;
        emit ended();
        return;
    }
    // A process may start another while the signals go out: whatever is
    // left after the grace is killed, as often as it is found.
    if (m_clock.elapsed() >= kStopGrace.count()) {
        if (root > 0) {
            ::kill(-root, SIGKILL);
        }
        signalAll(left, SIGKILL);
    }
}

bool EndedByFileSizeLimit(int exitStatus) {
    return exitStatus == kSignalStatusBase + SIGXFSZ;
}

} // namespace velmora
