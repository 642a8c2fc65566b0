// Times a folder scan the way "Add All" does it (walk the tree, list the
// matching files of each folder, check each file) beside `find -iname` on the
// same tree, warm cache, median of several runs, and prints the peak memory.
//
// Usage: bench_scan [--runs N] [TREE]
// Without TREE it builds 100,000 small files in 1,000 leaf folders under a
// temporary folder (10 x 10 x 10 folders, 100 files each, half of them .ps).

#include "base/event_pump.h"
#include "base/folder_listing.h"
#include "base/folder_reader.h"
#include "base/located_trap.h"
#include "base/path_helpers.h"
#include "base/prompter.h"
#include "bench/bench_tree.h"
#include "filelist/file_attributes.h"
#include "filelist/folder_files.h"
#include "filelist/folder_scanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace velmora;

namespace {

class SilentPump final : public EventPump {
public:
    void letEventsRun() override { ++yields; }
    long yields = 0;
};

class StderrPrompter final : public Prompter {
public:
    Answer message(const QString& text, const QString&, Buttons, Icon, const QString&) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QStringList pickFiles(const QString&, const QString&, const QString&) override { return {}; }
    QString pickFolder(const QString&, const QString&) override { return {}; }
};

struct ScanResult {
    qint64 walkNs = 0;
    qint64 listNs = 0; // GetFilesInFolder alone
    qint64 totalNs = 0;
    qsizetype folders = 0;
    qsizetype rows = 0;
};

// The "Add All" loop for the extension "ps", without the list control.
// withFileExists adds the FileExists test "Add All" makes before the attribute
// word, although GetFilesInFolder has made the same test already.
ScanResult scanLikeAddAll(const QString& root, Prompter& prompter, EventPump& pump,
                          bool withFileExists) {
    ScanResult result;
    QElapsedTimer clock;
    clock.start();
    QStringList folders{root + QLatin1Char('/')};
    GetSubDirectories2016(folders, true, ScanContext{prompter, pump});
    result.walkNs = clock.nsecsElapsed();
    result.folders = folders.size();
    QStringList rows;
    for (QString f : folders) {
        f.chop(1);
        const qint64 listStart = clock.nsecsElapsed();
        const QStringList names = GetFilesInFolder(f, QStringLiteral("*.ps"));
        result.listNs += clock.nsecsElapsed() - listStart;
        for (const QString& name : names) {
            if (name.startsWith(QLatin1Char('~'))) {
                continue;
            }
            const QString path = f + QLatin1Char('/') + name;
            if ((!withFileExists || FileExists(path)) &&
                AttributeWord(path) != (ArchiveAttribute | HiddenAttribute)) {
                rows.append(FixPath(path));
            }
        }
    }
    result.totalNs = clock.nsecsElapsed();
    result.rows = rows.size();
    return result;
}

qint64 timeFind(const QString& root) {
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    find.start(QStringLiteral("find"), {root, QStringLiteral("-iname"), QStringLiteral("*.ps")});
    find.waitForFinished(-1);
    return clock.nsecsElapsed();
}

qsizetype countFind(const QString& root) {
    QProcess find;
    find.start(QStringLiteral("find"), {root, QStringLiteral("-iname"), QStringLiteral("*.ps")});
    find.waitForFinished(-1);
    return find.readAllStandardOutput().count('\n');
}

double median(std::vector<qint64> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    int runs = 5;
    QString tree;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) {
            runs = std::max(1, args[++i].toInt());
        } else {
            tree = args[i];
        }
    }
    std::optional<QTemporaryDir> temporary; // removes the built tree at the end
    if (tree.isEmpty()) {
        temporary.emplace();
        if (!temporary->isValid()) {
            std::fprintf(stderr, "cannot create a temporary folder\n");
            return 1;
        }
        tree = temporary->path() + QStringLiteral("/tree");
        QElapsedTimer clock;
        clock.start();
        if (!bench::BuildBenchTree(tree)) {
            std::fprintf(stderr, "cannot build the tree\n");
            return 1;
        }
        std::printf("tree built in %.1f s\n", clock.elapsed() / 1000.0);
    }
    while (tree.size() > 1 && tree.endsWith(QLatin1Char('/'))) {
        tree.chop(1);
    }

    StderrPrompter prompter;
    SilentPump pump;
    // Warm the cache (and check both agree on the count) before timing.
    const ScanResult warm = scanLikeAddAll(tree, prompter, pump, true);
    const qsizetype findCount = countFind(tree);
    std::printf("folders walked: %lld, rows: %lld, find matches: %lld%s\n",
                static_cast<long long>(warm.folders), static_cast<long long>(warm.rows),
                static_cast<long long>(findCount), warm.rows == findCount ? "" : "  (MISMATCH)");

    std::vector<qint64> scan, walk, list, scanner, full, find;
    for (int run = 0; run < runs; ++run) {
        const ScanResult result = scanLikeAddAll(tree, prompter, pump, false);
        scan.push_back(result.totalNs);
        walk.push_back(result.walkNs);
        list.push_back(result.listNs);
        scanner.push_back(result.walkNs + result.listNs);
        QElapsedTimer clock;
        clock.start();
        LocatedTrap<report_location::AddFolder> trap(prompter);
        const QStringList rows =
            CollectFolderFiles(tree, QStringLiteral("ps"), ScanContext{prompter, pump},
                               trap.bind(report_location::AddFolder::kListFolderFiles));
        full.push_back(clock.nsecsElapsed());
        if (rows.size() != findCount) {
            std::printf("CollectFolderFiles found %lld rows, find %lld\n",
                        static_cast<long long>(rows.size()), static_cast<long long>(findCount));
        }
        find.push_back(timeFind(tree));
    }
    const double findMs = median(find) / 1e6;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("runs: %d, medians\n", runs);
    std::printf("walk + list + AttributeWord on every file   %8.1f ms  ratio %.2f\n",
                median(scan) / 1e6, median(scan) / 1e6 / findMs);
    std::printf("  the scanner alone: walk + listings        %8.1f ms  ratio %.2f\n",
                median(scanner) / 1e6, median(scanner) / 1e6 / findMs);
    std::printf("    the walk (GetSubDirectories2016)        %8.1f ms\n", median(walk) / 1e6);
    std::printf("    the listings (GetFilesInFolder)         %8.1f ms\n", median(list) / 1e6);
    std::printf("Add All as the program does it (rows)       %8.1f ms  ratio %.2f (target <= 2)\n",
                median(full) / 1e6, median(full) / 1e6 / findMs);
    std::printf("find TREE -iname '*.ps' >/dev/null          %8.1f ms\n", findMs);
    std::printf("peak memory (ru_maxrss)                     %8.1f MB\n", usage.ru_maxrss / 1024.0);
    std::printf("yields to the event loop: %ld over %d scans\n", pump.yields, 2 * runs + 1);
    return 0;
}
