#pragma once

#include "base/problem.h"
#include "convert/file_outcome.h"
#include "convert/run_progress.h"

#include <QString>

namespace velmora {

// The one way the engine tells its host what happens: the window shows it
// in the progress bar and error boxes, the command line prints it as lines.
// The engine never waits for the host; a host that shows a box should not
// open it from inside these calls.
class ConversionPort {
public:
    virtual ~ConversionPort() = default;
    // How far the run has come, and the earliest file not yet delivered.
    virtual void progressed(const RunProgress& progress) = 0;
    // A source's outcome, in row order, once it ends. Told once more, later,
    // for a source whose pages a later row of the run replaced (same names in
    // one folder): with that reason, and none of its pages left.
    virtual void fileEnded(const FileOutcome& outcome) = 0;
    // A numbered step failed; the run goes on.
    virtual void problem(const Problem& problem) = 0;
};

} // namespace velmora
