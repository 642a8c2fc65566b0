// Times the file list with a very large folder: "Add All" with "*" and a
// folder dropped onto the list (100,000 files in 1,000 leaf folders), on a
// real list view. Prints how fast the found rows reach the list, the longest
// time the event loop stood still during each add (a 10 ms timer's longest
// gap), the memory with 100,000 rows listed, and how long "Clear List" takes.
//
// Usage: bench_list [TREE]
// Without TREE it builds 100,000 small files in 1,000 leaf folders under a
// temporary folder (10 x 10 x 10 folders, 100 files each).

#include "app/file_list_controls.h"
#include "app/settings_store.h"
#include "app/window_pointer.h"
#include "base/prompter.h"
#include "base/qt_event_pump.h"
#include "bench/bench_tree.h"
#include "filelist/file_list.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <deque>

#include <fcntl.h>
#include <unistd.h>

using namespace velmora;

namespace {

// Answers the extension prompt and the folder picker; every box is printed.
class ScriptedPrompter final : public Prompter {
public:
    Answer message(const QString& text, const QString&, Buttons, Icon, const QString&) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return Answer::No;
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override {
        return extension;
    }
    QStringList pickFiles(const QString&, const QString&, const QString&) override { return {}; }
    QString pickFolder(const QString&, const QString&) override { return folder; }

    QString extension;
    QString folder;
};

// A value of /proc/self/status in megabytes ("VmRSS", "VmHWM").
double statusMegabytes(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').front().toDouble() / 1024.0;
        }
    }
    return -1;
}

// The longest gap between the ticks of a 10 ms timer while it runs.
class GapWatch {
public:
    GapWatch() {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
    }
    void start() {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    qint64 stop() {
        m_timer.stop();
        m_longest = std::max(m_longest, m_clock.elapsed());
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// Lets the view lay out and paint what it has been given.
void settle(QWidget& window) {
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
}

struct AddFigures {
    qint64 totalMs = 0;
    qint64 appendMs = 0; // from the first row reaching the list to the view painted
    qint64 longestGapMs = 0;
    int rows = 0;
};

void print(const char* what, const AddFigures& figures) {
    const double perSecond =
        figures.appendMs > 0 ? figures.rows * 1000.0 / figures.appendMs : figures.rows * 1000.0;
    std::printf("%-10s %6d rows in %5lld ms; rows to list and painted %4lld ms (%.0f rows/s); "
                "longest event-loop gap %lld ms (timer late by %lld ms)\n",
                what, figures.rows, static_cast<long long>(figures.totalMs),
                static_cast<long long>(figures.appendMs), perSecond,
                static_cast<long long>(figures.longestGapMs),
                static_cast<long long>(std::max<qint64>(0, figures.longestGapMs - 10)));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QString tree = app.arguments().size() > 1 ? app.arguments().at(1) : QString();
    QTemporaryDir temporary;
    if (!temporary.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    if (tree.isEmpty()) {
        tree = temporary.filePath(QStringLiteral("tree"));
        QElapsedTimer clock;
        clock.start();
        if (!bench::BuildBenchTree(tree)) {
            std::fprintf(stderr, "cannot build the tree\n");
            return 1;
        }
        std::printf("built 100,000 files in 1,000 leaf folders in %.1f s\n",
                    clock.elapsed() / 1000.0);
    }

    ScriptedPrompter prompter;
    prompter.extension = QStringLiteral("*");
    prompter.folder = tree;
    SettingsStore settings(prompter, temporary.filePath(QStringLiteral("settings.ini")));
    QWidget window;
    window.resize(540, 200);
    auto* view = new QTreeView(&window);
    view->setGeometry(8, 8, 520, 169); // the size of the window's list
    view->setUniformRowHeights(true);
    view->setRootIsDecorated(false);
    FileList files;
    view->setModel(&files);
    WindowPointer pointer(window);
    QtEventPump pump;
    FileListControls controls(*view, files, prompter, settings, pointer, pump,
                              QCoreApplication::applicationDirPath(), {});
    window.show();
    settle(window);

    QElapsedTimer clock;
    qint64 firstRowAt = -1;
    QObject::connect(&files, &FileList::rowsAboutToBeInserted, [&] {
        if (firstRowAt < 0) {
            firstRowAt = clock.elapsed();
        }
    });
    GapWatch gaps;
    const double baseline = statusMegabytes("VmRSS");

    // Warm the file system cache once, so both adds see the same conditions.
    controls.addFolder();
    files.clear();
    settle(window);

    auto measure = [&](const std::function<void()>& add) {
        AddFigures figures;
        firstRowAt = -1;
        gaps.start();
        clock.start();
        add();
        settle(window);
        figures.totalMs = clock.elapsed();
        figures.longestGapMs = gaps.stop();
        figures.appendMs = firstRowAt < 0 ? 0 : figures.totalMs - firstRowAt;
        figures.rows = files.count();
        return figures;
    };

    const AddFigures addAll = measure([&] { controls.addFolder(); });
    print("Add All", addAll);

    const double rss = statusMegabytes("VmRSS");
    const double peak = statusMegabytes("VmHWM");
    std::printf("memory: %.1f MB before, %.1f MB with %d rows listed, peak %.1f MB\n", baseline,
                rss, files.count(), peak);

    QElapsedTimer clear;
    clear.start();
    controls.clearList();
    settle(window);
    std::printf("Clear List on %d rows: %.1f ms (now %d rows)\n", addAll.rows,
                clear.nsecsElapsed() / 1e6, files.count());

    const AddFigures drop = measure([&] {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(tree)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &event);
        // The rows are made once the drop event has returned.
        while (files.count() == 0 && clock.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
    });
    print("Drop", drop);
    std::printf("peak memory over the whole run: %.1f MB\n", statusMegabytes("VmHWM"));

    view->setModel(nullptr);
    return addAll.rows == 100000 && drop.rows == 100000 ? 0 : 1;
}
