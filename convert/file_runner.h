#pragma once

#include "convert/conversion_plan.h"
#include "convert/file_outcome.h"
#include "convert/ghostscript_result.h"
#include "convert/page_ranges.h"

#include <QString>

#include <functional>
#include <memory>

namespace velmora {

// What a file's runner tells the pool as its Ghostscripts end. Called from
// the event loop, or from within a call of the pool's (a Ghostscript that
// cannot start ends at once): the pool takes them in any order and never
// lets go of a runner inside them.
class FileEvents {
public:
    virtual ~FileEvents() = default;
    // The PostScript stage ended; its JPEG stage has about `pages` pages to
    // render (0: nothing worth rendering).
    virtual void pdfEnded(int row, int pages, const GhostscriptResult& result) = 0;
    virtual void rangeEnded(int row, int range, const GhostscriptResult& result) = 0;
    // The document took longer than a document may: its Ghostscripts are
    // being stopped, and end (with their results) in their own time.
    virtual void limitReached(int row) = 0;
    // No Ghostscript of the file runs any more, after it was stopped.
    virtual void settled(int row) = 0;
    // Pages were made: the bar may move.
    virtual void progressed() = 0;
};

// One source's way through the stages, carried out as the plan says: the
// real one runs Ghostscripts (FileConversion); tests put in fakes.
class FileRunner {
public:
    virtual ~FileRunner() = default;
    // Takes the source in and starts its PostScript stage; false when the
    // file ended at once (unreadable, empty, not copied).
    virtual bool start() = 0;
    virtual void startRange(int index, PageRange pages) = 0;
    // Places the whole pages of the document as its results allow; the
    // outcome is then final.
    virtual void deliver(const RowResults& results) = 0;
    // Ends every Ghostscript of the file, without waiting; nothing is
    // delivered. settled() follows once none is left.
    virtual void stop(GhostscriptEnding ending) = 0;
    // Whether a Ghostscript of the file still runs, or is being stopped.
    virtual bool isRunning() const = 0;
    // How far the file has come, from 0 to 1.
    virtual double progress() const = 0;
    virtual const FileOutcome& outcome() const = 0;
};

// Makes the runner of a run's row (counted from 1) and its source.
using FileRunnerFactory =
    std::function<std::unique_ptr<FileRunner>(int row, const QString& source, FileEvents& events)>;

} // namespace velmora
