#pragma once

#include "convert/conversion_port.h"
#include "convert/conversion_run.h"
#include "support/convert_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

namespace velmora::test {

// A run wired to a recording port, with folders `in` (sources), `out` (pages), `temp`
// (work). run() starts the request and waits for its end; the hooks act as a host would,
// inside the reports; atEnd undoes what a test changed, last first.
class ConversionHarness : public ConversionPort {
public:
    static constexpr int kRunTimeoutMs = 300000; // a hung run fails with its test's name

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
    void fileEnded(const FileOutcome&) override { onFileEnded(); }
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

    QTemporaryDir in, out, temp;
    ConversionSettings settings;
    RunRequest request;
    std::function<void()> onProgress = [] {}, onFileEnded = [] {}, onProblem = [] {};
    std::vector<std::function<void()>> atEnd;
    QList<Problem> problems;
    QList<double> progress; // each report's percentage

private:
    std::unique_ptr<ConversionRun> m_run = std::make_unique<ConversionRun>(*this, settings);
};

} // namespace velmora::test
