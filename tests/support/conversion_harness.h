#pragma once

#include "convert/conversion_port.h"
#include "convert/conversion_run.h"

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
    ConversionHarness();
    ~ConversionHarness() override;

    void progressed(const RunProgress&) override { onProgress(); }
    void fileEnded(const FileOutcome& outcome) override { onFileEnded(outcome); }
    void problem(const Problem& reported) override {
        problems.append(reported);
        onProblem();
    }

    RunSummary run();
    ConversionRun& conversion() { return *m_run; }
    // Entries left in the temp folder, and processes still working there.
    QStringList leftInTemp() const;
    int childrenLeft() const;

    QTemporaryDir in, out, temp;
    ConversionSettings settings;
    RunRequest request;
    std::function<void()> onProgress = [] {};
    std::function<void(const FileOutcome&)> onFileEnded = [](const FileOutcome&) {};
    std::function<void()> onProblem = [] {};
    std::vector<std::function<void()>> atEnd; // undone as the harness goes, last first
    QList<Problem> problems;

private:
    std::unique_ptr<ConversionRun> m_run;
};

} // namespace velmora::test
