#include "convert/process_group.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace velmora {

namespace {

// How long a stopped group gets to end after SIGTERM before SIGKILL; the
// window does not repaint meanwhile, so keep it short.
constexpr std::chrono::milliseconds kStopGrace{200};
constexpr std::chrono::milliseconds kStopPoll{10};
constexpr std::chrono::milliseconds kEndWait{1000};

// The processes the system lists: id, parent and group, skipping those that
// have ended (zombies wait for their parent, which can take a while).
struct ProcessEntry {
    pid_t pid;
    pid_t parent;
    pid_t group;
};

QList<ProcessEntry> livingProcesses() {
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
                            static_cast<pid_t>(fields[2].toInt())});
        }
    }
    return entries;
}

// The root, its process group, and every process below the root. A sandbox
// puts what runs inside into a session of its own, out of the group's reach.
QList<pid_t> processTree(pid_t root) {
    const QList<ProcessEntry> entries = livingProcesses();
    QList<pid_t> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i) {
        for (const ProcessEntry& entry : entries) {
            if ((entry.parent == tree[i] || entry.group == root) && !tree.contains(entry.pid)) {
                tree.append(entry.pid);
            }
        }
    }
    return tree;
}

bool anyAlive(const QList<pid_t>& pids) {
    const QList<ProcessEntry> entries = livingProcesses();
    return std::any_of(entries.cbegin(), entries.cend(),
                       [&pids](const ProcessEntry& entry) { return pids.contains(entry.pid); });
}

void signalAll(const QList<pid_t>& pids, int signal) {
    for (pid_t pid : pids) {
        ::kill(pid, signal);
    }
}

} // namespace

void RunInOwnProcessGroup(QProcess& process, qint64 memoryLimitBytes) {
    // Runs in the child between fork and exec: async-signal-safe calls only.
    process.setChildProcessModifier([memoryLimitBytes] {
        // A session of its own: a group to stop as a whole, and no
        // controlling terminal that a document could type into.
        ::setsid();
        if (memoryLimitBytes > 0) {
            const rlimit limit{static_cast<rlim_t>(memoryLimitBytes),
                               static_cast<rlim_t>(memoryLimitBytes)};
            ::setrlimit(RLIMIT_AS, &limit);
        }
    });
}

void StopProcessGroup(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    const auto root = static_cast<pid_t>(process.processId());
    if (root > 0) {
        const QList<pid_t> tree = processTree(root);
        ::kill(-root, SIGTERM);
        signalAll(tree, SIGTERM);
        QElapsedTimer clock;
        clock.start();
        process.waitForFinished(static_cast<int>(kStopGrace.count()));
        while (anyAlive(tree) && clock.elapsed() < kStopGrace.count()) {
            QThread::msleep(static_cast<unsigned long>(kStopPoll.count()));
        }
        ::kill(-root, SIGKILL);
        signalAll(tree, SIGKILL);
        if (process.state() != QProcess::NotRunning) {
            process.waitForFinished(-1);
        }
        // SIGKILL takes effect at once but ends a process only soon after;
        // nothing may still work in a folder about to be removed.
        clock.restart();
        while (anyAlive(tree) && clock.elapsed() < kEndWait.count()) {
            QThread::msleep(static_cast<unsigned long>(kStopPoll.count()));
        }
    }
    if (process.state() != QProcess::NotRunning) {
        process.waitForFinished(-1);
    }
}

} // namespace velmora
