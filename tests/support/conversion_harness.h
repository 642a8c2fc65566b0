#pragma once

#include "convert/conversion_port.h"
#include "convert/conversion_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

namespace velmora::test {

// A conversion run wired to a recording port, with folders of its own: `in`
// for sources, `out` for pages and `temp` for the run's work folder, so a
// test can tell what a run left behind. run() starts the request and waits
// for the run's end; the hooks act as a host would, inside the reports.
class ConversionHarness : public ConversionPort {
public:
    // A run that hangs fails with its test's name, not at ctest's limit.
    static constexpr int kRunTimeoutMs = 300000;

    ConversionHarness() {
        settings.programFolder = QCoreApplication::applicationDirPath();
        settings.tempFolder = temp.path();
    }
    ~ConversionHarness() override {
        for (auto undo = atEnd.rbegin(); undo != atEnd.rend(); ++undo) {
            (*undo)();
        }
    }

    void progressed(const RunProgress& reported) override {
        progress.append(reported.percent);
        onProgress();
    }
    void fileEnded(const FileOutcome& outcome) override { onFileEnded(outcome); }
    void problem(const Problem& reported) override {
        problems.append(reported);
        onProblem();
    }

    RunSummary run() {
        m_run->settings() = settings;
        QSignalSpy finished(m_run.get(), &ConversionRun::finished);
        if (!m_run->start(request) || !finished.wait(kRunTimeoutMs)) {
            return {};
        }
        return finished.front().front().value<RunSummary>();
    }
    ConversionRun& conversion() { return *m_run; }
    // Entries left in the temp folder, and processes still working there.
    QStringList leftInTemp() const {
        return QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    int childrenLeft() const {
        int count = 0;
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QString cwd = QFile::symLinkTarget(QStringLiteral("/proc/%1/cwd").arg(pid));
            count += cwd.startsWith(temp.path()) ? 1 : 0;
        }
        return count;
    }

    QTemporaryDir in, out, temp;
    ConversionSettings settings;
    RunRequest request;
    std::function<void()> onProgress = [] {};
    std::function<void(const FileOutcome&)> onFileEnded = [](const FileOutcome&) {};
    std::function<void()> onProblem = [] {};
    std::vector<std::function<void()>> atEnd; // undone as the harness goes, last first
    QList<Problem> problems;
    QList<double> progress; // each report's percentage

private:
    std::unique_ptr<ConversionRun> m_run = std::make_unique<ConversionRun>(*this, settings);
};

} // namespace velmora::test
