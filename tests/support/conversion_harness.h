#pragma once

#include "convert/conversion_port.h"
#include "convert/conversion_run.h"
#include "support/recording_prompter.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace velmora::test {

// A conversion run wired to a recording port, with its own temp folder (so a
// test can tell that nothing of a run stays behind) and the built program's
// ps folder. run() starts it and waits for its end.
class ConversionHarness : public ConversionPort {
public:
    ConversionHarness();

    // ConversionPort
    void progressed(const RunProgress& progress) override;
    void fileEnded(const FileOutcome& outcome) override;
    void problem(const Problem& problem) override;

    // Starts a run of `sources` with the fields below and waits for its end.
    RunSummary run();
    ConversionRun& conversion() { return *m_run; }

    // Files and folders left in the run's temp folder.
    QStringList leftInTemp() const;
    // Processes whose working folder lies in the run's temp folder.
    int childrenLeft() const;

    QStringList sources;
    OutputChoice output = OutputChoice::BesideSource;
    QString outputFolder;
    int quality = 75;
    std::function<void()> onProgress;                    // called on each progress report
    std::function<void(const FileOutcome&)> onFileEnded; // called as each file ends
    std::function<void(const Problem&)> onProblem;       // called on each problem

    QList<double> progressValues;
    QStringList progressSources; // each new source the run works on, in order
    QList<FileOutcome> ended;
    QList<Problem> problems;

    QTemporaryDir temp;
    ConversionSettings settings;

private:
    std::unique_ptr<ConversionRun> m_run;
};

} // namespace velmora::test
