#pragma once

#include "cli/run_report.h"
#include "convert/conversion_port.h"

#include <QString>

namespace velmora {

// The command line's side of the engine's port, on stderr: progress on a
// terminal as one line, rewritten in place as pages are made; elsewhere (a
// log, a scheduler's output file) one line each time the run moves on to
// another file. A failed step is one line "velmora-convert: description".
// Each source that ends goes to the report, when there is one.
class ConsoleProgress final : public ConversionPort {
public:
    explicit ConsoleProgress(RunReport* report = nullptr);

    void progressed(const RunProgress& progress) override;
    void fileEnded(const FileOutcome& outcome) override;
    void problem(const Problem& problem) override;
    // The run is over: the progress line goes away on a terminal.
    void finish();

private:
    void show();
    void erase();

    RunReport* m_report;
    bool m_terminal;
    double m_percent = 0;
    QString m_text;    // "Processing: ..." while a run goes on
    QString m_printed; // what the last line said
};

} // namespace velmora
