// Two figures of the main window:
//  1. start-up: from before the window is made (its load handler included)
//     to its first complete paint;
//  2. responsiveness while converting: the sample files are converted
//     through the window's start button while a 10 ms timer runs; the longest
//     gap between two of its ticks, less 10 ms, is how late the event loop got
//     around to it (target: 50 ms or less).
//
// Usage: bench_window [--runs N] [FILE...]
// Without files it converts the Samples folder beside the program.
// Runs offscreen unless a display or QT_QPA_PLATFORM is given.

#include "app/main_window.h"
#include "app/settings_store.h"
#include "base/prompter.h"
#include "convert/conversion_run.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace velmora;

namespace {

// Answers every box with OK and keeps its text.
class QuietPrompter final : public Prompter {
public:
    Answer message(const QString& text, const QString&, Buttons buttons, Icon,
                   const QString&) override {
        texts.append(text);
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QStringList pickFiles(const QString&, const QString&, const QString&) override { return {}; }
    QString pickFolder(const QString&, const QString&) override { return {}; }
    QStringList texts;
};

// Notes when each widget of the window is first painted.
class FirstPaints : public QObject {
public:
    FirstPaints(QWidget& window, QElapsedTimer& clock) : m_clock(clock) {
        m_pending.insert(&window);
        // The window's own controls (Qt's inner helpers are named "qt_...").
        for (QWidget* child : window.findChildren<QWidget*>()) {
            const QString name = child->objectName();
            if (child->isVisibleTo(&window) && !name.isEmpty() &&
                !name.startsWith(QLatin1String("qt_"))) {
                m_pending.insert(child);
            }
        }
        qApp->installEventFilter(this);
    }
    bool complete() const { return m_pending.isEmpty(); }
    qint64 firstNs = -1;
    qint64 lastNs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && m_pending.remove(widget)) {
                const qint64 now = m_clock.nsecsElapsed();
                if (firstNs < 0) {
                    firstNs = now;
                }
                lastNs = now;
            }
        }
        return false;
    }

private:
    QElapsedTimer& m_clock;
    QSet<QWidget*> m_pending;
};

double ms(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer processClock;
    processClock.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    const qint64 applicationReadyNs = processClock.nsecsElapsed();

    int runs = 3;
    QStringList files;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--runs") && i + 1 < args.size()) {
            runs = std::max(1, args.at(++i).toInt());
        } else {
            files.append(QDir(args.at(i)).absolutePath());
        }
    }
    if (files.isEmpty()) {
        const QDir samples(QCoreApplication::applicationDirPath() + QStringLiteral("/Samples"));
        for (const QString& name : samples.entryList(QDir::Files, QDir::Name)) {
            files.append(samples.filePath(name));
        }
    }

    QTemporaryDir scratch;
    QuietPrompter prompter;
    SettingsStore settings(prompter, scratch.filePath(QStringLiteral("Dravik.ini")));

    // 1. Start-up to first paint.
    QElapsedTimer clock;
    clock.start();
    MainWindow window(
        prompter, settings, [] { return 1; }, QCoreApplication::applicationDirPath());
    const qint64 builtNs = clock.nsecsElapsed();
    FirstPaints paints(window, clock);
    window.show();
    while (!paints.complete() && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("start-up: QApplication ready %.1f ms after main(); window made (with its load "
                "handler) in %.1f ms; first paint at %.1f ms; every control painted at %.1f ms%s\n",
                ms(applicationReadyNs), ms(builtNs), ms(paints.firstNs), ms(paints.lastNs),
                paints.complete() ? "" : " (incomplete)");

    if (files.isEmpty()) {
        std::printf("no files to convert\n");
        return 0;
    }

    // 2. Event-loop gaps while converting through the start button.
    window.findChild<QRadioButton*>(QStringLiteral("Option1"))->setChecked(true);
    window.findChild<QLineEdit*>(QStringLiteral("Text1"))
        ->setText(scratch.filePath(QStringLiteral("out")) + QLatin1Char('/'));
    QDir(scratch.path()).mkpath(QStringLiteral("out"));
    window.fileList().append(files);
    auto* start = window.findChild<QPushButton*>(QStringLiteral("PushButton2"));

    std::printf("converting %lld file(s), %d run(s), 10 ms timer\n",
                static_cast<long long>(files.size()), runs);
    double worstLateness = 0;
    for (int run = 1; run <= runs; ++run) {
        std::vector<qint64> ticks;
        QElapsedTimer runClock;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { ticks.push_back(runClock.nsecsElapsed()); });
        prompter.texts.clear();
        qint64 runNs = 0;
        // The run ends with finished(), after its "Done." box.
        QEventLoop waiting;
        QObject::connect(
            &window.run(), &ConversionRun::finished, &window,
            [&] {
                runNs = runClock.nsecsElapsed();
                ticker.stop();
                waiting.quit();
            },
            Qt::SingleShotConnection);
        QTimer::singleShot(0, [&] {
            runClock.start();
            ticker.start();
            start->click();
        });
        waiting.exec();

        std::vector<qint64> gaps;
        for (size_t i = 1; i < ticks.size(); ++i) {
            gaps.push_back(ticks[i] - ticks[i - 1]);
        }
        std::sort(gaps.begin(), gaps.end());
        const qint64 longest = gaps.empty() ? runNs : gaps.back();
        const qint64 p99 = gaps.empty() ? 0 : gaps[gaps.size() * 99 / 100];
        const double lateness = std::max(0.0, ms(longest) - 10.0);
        worstLateness = std::max(worstLateness, lateness);
        const int pages = static_cast<int>(QDir(scratch.filePath(QStringLiteral("out")))
                                               .entryList({QStringLiteral("*.jpg")}, QDir::Files)
                                               .size());
        std::printf("run %d: %.0f ms, %d pages in the folder, %zu ticks, longest gap %.1f ms "
                    "(late by %.1f ms), 99th percentile %.1f ms, last box \"%s\"\n",
                    run, ms(runNs), pages, ticks.size(), ms(longest), lateness, ms(p99),
                    qPrintable(prompter.texts.value(prompter.texts.size() - 1).left(60)));
    }
    std::printf("worst event-loop lateness while converting: %.1f ms (target <= 50 ms): %s\n",
                worstLateness, worstLateness <= 50.0 ? "met" : "MISSED");
    return 0;
}
