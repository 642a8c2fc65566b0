// Stopping a run of 8 Ghostscripts from the window: Esc, Yes to "Stop
// converting?", then "Stopped.". A 10 ms timer runs throughout; the longest
// gap between two of its ticks from Esc to the box is how long the window
// could not repaint while everything stopped (target: under 50 ms). Also
// prints the time from Esc to "Stopped.".
//
// Usage: bench_stop [--runs N] [--jobs N]
// Runs offscreen unless a display or QT_QPA_PLATFORM is given.

#include "app/main_window.h"
#include "app/run_control.h"
#include "app/setting.h"
#include "app/settings_store.h"
#include "base/prompter.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace velmora;

namespace {

constexpr int kTickMs = 10;

// Answers "Stop converting?" with Yes and notes when the end box comes.
class StoppingPrompter final : public Prompter {
public:
    Answer message(const QString& text, const QString&, Buttons buttons, Icon,
                   const QString&) override {
        if (buttons == Buttons::YesNo) {
            return Answer::Yes;
        }
        ended = text.startsWith(QLatin1String("Stopped."));
        if (onEnd) {
            onEnd();
        }
        return Answer::Ok;
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QStringList pickFiles(const QString&, const QString&, const QString&) override { return {}; }
    QString pickFolder(const QString&, const QString&) override { return {}; }
    bool ended = false;
    std::function<void()> onEnd;
};

// Ghostscripts at work in the folder (their working folder lies in it).
int ghostscriptsIn(const QString& folder) {
    int count = 0;
    QDirIterator procs(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (procs.hasNext()) {
        const QString pid = QFileInfo(procs.next()).fileName();
        QFile name(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!name.open(QIODevice::ReadOnly) || !name.readAll().startsWith("gs")) {
            continue;
        }
        const QString cwd = QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(pid));
        count += cwd.startsWith(folder) ? 1 : 0;
    }
    return count;
}

double ms(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir temp;
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    QApplication app(argc, argv);
    int runs = 5;
    int jobs = 8;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--runs")) {
            runs = std::max(1, args.at(++i).toInt());
        } else if (args.at(i) == QLatin1String("--jobs")) {
            jobs = std::max(1, args.at(++i).toInt());
        }
    }
    QTemporaryDir scratch;
    QStringList endless;
    for (int i = 1; i <= jobs; ++i) {
        QFile file(scratch.filePath(QStringLiteral("endless-%1.ps").arg(i)));
        if (!file.open(QIODevice::WriteOnly)) {
            return 1;
        }
        file.write("%!PS\n{} loop\n");
        endless.append(file.fileName());
    }

    StoppingPrompter prompter;
    SettingsStore settings(prompter, scratch.filePath(QStringLiteral("Dravik.ini")));
    settings.write(setting::kJobs, QString::number(jobs));
    std::printf("stopping %d Ghostscripts from the window, %d run(s), %d ms timer\n", jobs, runs,
                kTickMs);
    double worstGap = 0;
    for (int run = 1; run <= runs; ++run) {
        MainWindow window(
            prompter, settings, [] { return 1; }, QCoreApplication::applicationDirPath());
        window.findChild<QRadioButton*>(QStringLiteral("Option2"))->setChecked(true);
        window.fileList().append(endless);
        std::vector<qint64> ticks;
        QElapsedTimer clock;
        qint64 escNs = -1;
        qint64 endNs = -1;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (escNs >= 0) {
                ticks.push_back(clock.nsecsElapsed());
            } else if (ghostscriptsIn(temp.path()) >= jobs) {
                // All at work: Esc, as a user would press it.
                escNs = clock.nsecsElapsed();
                ticks.push_back(escNs);
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(&window, &esc);
            }
        });
        prompter.ended = false;
        prompter.onEnd = [&] {
            endNs = clock.nsecsElapsed();
            ticks.push_back(endNs);
            QTimer::singleShot(0, [] { QCoreApplication::quit(); });
        };
        QTimer::singleShot(0, [&] {
            clock.start();
            ticker.start(kTickMs);
            window.runControl().startConverting();
        });
        QApplication::exec();
        ticker.stop();
        qint64 longest = 0;
        qint64 longestAt = 0;
        for (size_t i = 1; i < ticks.size(); ++i) {
            if (ticks[i] - ticks[i - 1] > longest) {
                longest = ticks[i] - ticks[i - 1];
                longestAt = ticks[i - 1] - escNs;
            }
        }
        worstGap = std::max(worstGap, ms(longest));
        std::printf("run %d: Esc to \"Stopped.\" %.0f ms, longest gap %.1f ms (from %.0f ms "
                    "after Esc), %s\n",
                    run, ms(endNs - escNs), ms(longest), ms(longestAt),
                    prompter.ended ? "\"Stopped.\"" : "no \"Stopped.\" box");
    }
    std::printf("longest event-loop gap while stopping %d Ghostscripts: %.1f ms (target < 50 ms): "
                "%s\n",
                jobs, worstGap, worstGap < 50.0 ? "met" : "MISSED");
    return 0;
}
