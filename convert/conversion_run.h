#pragma once

#include "base/path_style.h"
#include "convert/file_outcome.h"
#include "convert/run_cancellation.h"

#include <QList>
#include <QString>

#include <chrono>
#include <functional>

namespace velmora {

class BusyPointer;
class EventPump;
class OutputTarget;
class ProgressDisplay;
class Prompter;
class SourceList;

// Everything a run reaches outside the engine; the window implements these
// over its controls, the command-line twin and the tests without widgets.
struct ConversionWiring {
    Prompter& prompter;
    EventPump& events;
    BusyPointer& pointer;
    OutputTarget& output;
    ProgressDisplay& progress;
    SourceList& sources;
    std::function<int()> quality; // read once per run
};

struct ConversionSettings {
    QString programFolder; // holds ps/ (our Ghostscript scripts)
    QString tempFolder;    // base of the private work folder; empty: the system's
    QString ghostscript = QStringLiteral("gs");
    // A Ghostscript that makes no new page and no more output for this long
    // is stopped; a long document that keeps making pages is never cut off.
    std::chrono::milliseconds noProgressLimit = std::chrono::minutes(2);
    qint64 childMemoryLimitBytes = 0; // 0: no limit
    int jobs = 0;                     // Ghostscripts at once; 0: one per core
    bool sandbox = true;              // run Ghostscript inside bwrap where it works
};

// What one press of "Start Converting To JPG" did.
struct RunSummary {
    enum class Status {
        Converted,
        AlreadyRunning,
        NoFiles,
        NoFolder,
        MissingGhostscript,
        Stopped,       // the work folder could not be prepared (e.g. ps/ missing)
        Cancelled,     // the window closed or the program was told to end
        StoppedByUser, // the user asked to stop; what was delivered stays
    };
    Status status = Status::Converted;
    QList<FileOutcome> files;
    bool sandboxed = true;  // every Ghostscript of the run ran inside the sandbox
    QString sandboxMissing; // why it did not, when it did not

    bool allSucceeded() const;
    // "Done." (or "Stopped.") and one line for each file that failed; with
    // maxLines above 0, at most that many lines and then "and N more".
    QString doneMessage(int maxLines = 0) const;
};

// The conversion run behind the start button: converts every listed file in
// turn through the two Ghostscript stages in a private work folder.
class ConversionRun {
public:
    ConversionRun(ConversionWiring wiring, ConversionSettings settings);

    // The start button's click. A click while a run goes on does nothing.
    RunSummary PushButton2_Click();

    bool isConverting() const { return m_converting; }

    // Stops a run as soon as it can (Ghostscript is stopped, the work folder
    // removed); used when the window closes.
    void cancel() { m_cancellation.cancel(); }
    // The user's stop: like cancel(), but the run ends with "Stopped." and a
    // line for each file that was not converted fully.
    void stop();
    RunCancellation& cancellation() { return m_cancellation; }

    ConversionSettings& settings() { return m_settings; }

private:
    ConversionWiring m_wiring;
    ConversionSettings m_settings;
    RunCancellation m_cancellation;
    bool m_converting = false;
    bool m_stopRequested = false;
};

} // namespace velmora
