#pragma once

#include "convert/ghostscript_program.h"

#include <QString>

#include <chrono>

namespace velmora {

// How the engine converts: where its files are and the limits it keeps.
struct ConversionSettings {
    static constexpr qint64 kMB = 1024 * 1024;

    QString programFolder; // holds ps/ (our Ghostscript scripts)
    QString tempFolder;    // base of the private work folder; empty: the system's
    QString ghostscript = DefaultGhostscript();
    // A Ghostscript that writes nothing new for this long is stopped; a long
    // document that keeps making pages is never cut off.
    std::chrono::milliseconds noProgressLimit = std::chrono::minutes(2);
    // The longest one document may take, both stages together; 0: no limit.
    std::chrono::milliseconds fileTimeLimit{0};
    // All that a document's own (PostScript) stage may write, its temp
    // folder included; 0: no limit.
    qint64 writeLimitBytes = 1024 * kMB;
    // A run stops before a disk it writes to has less free space than this,
    // or than a tenth of a smaller disk.
    qint64 diskReserveBytes = 1024 * kMB;
    // The memory each Ghostscript may take; 0: no limit. On Windows a job
    // object is all the confinement there is, so it also bounds what one
    // hostile document can take from the machine.
#ifdef Q_OS_WIN
    qint64 childMemoryLimitBytes = 2048 * kMB;
#else
    qint64 childMemoryLimitBytes = 0;
#endif
    int jobs = 0;        // Ghostscripts at once; 0: one per core
    bool sandbox = true; // run Ghostscript inside bwrap where it works
};

} // namespace velmora
