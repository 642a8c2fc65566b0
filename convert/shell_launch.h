#pragma once

#include "convert/output_tail.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

#include <chrono>
#include <optional>

namespace velmora {

class RunCancellation;

// The error recorded for a launch that failed: classic number, message and
// the source "<program file name without extension>.GShell".
struct ShellError {
    qint64 number = 0;
    QString description;
    QString source;
};

struct ShellOpenResult {
    int code = 0; // above 32: handed over; 0 to 32: a failure code
    std::optional<ShellError> error;
};

// What ShellAndWait may add to a launch beyond the classic arguments.
struct LaunchOptions {
    std::chrono::milliseconds timeLimit{0}; // 0: no limit
    qint64 memoryLimitBytes = 0;            // 0: no limit (address space of the child)
    std::optional<QProcessEnvironment> environment;
    RunCancellation* cancellation = nullptr; // a cancel stops the child and returns
};

// How much of the child's output a wait keeps: the last 64 KiB.
inline constexpr qsizetype kShellOutputTailBytes = kOutputTailBytes;

struct ShellWaitResult {
    int exitCode = 0; // killed by a signal: 128 + the signal number, as shells report it
    std::optional<ShellError> error; // the launch failed; nothing was waited for
    bool timedOut = false;           // the time limit stopped the child and its children
    bool cancelled = false;          // a cancellation stopped them
    QByteArray output;               // what the child wrote to stdout and stderr (its tail)
};

// The shell result code's failure classification: number and message.
ShellError ClassifyShellFailure(int code);

// The show style a launch really uses (".exe" anywhere: hidden; no parameters
// and no working folder: shown normally).
int EffectiveShowStyle(const QString& file, int showStyle, const QString& parameters,
                       const QString& workingFolder);

// Hands a file to the system. A script (".sh") runs under /bin/sh in the
// working folder; anything else opens with the desktop's default application.
// The file may come wrapped in double quotes.
ShellOpenResult ShellOpen(const QString& file, int showStyle, const QString& parameters,
                          const QString& workingFolder, const QString& verb,
                          quintptr ownerWindow = 0);

// Runs a script in the working folder and waits for its end while window
// events run. Returns at once when the launch failed.
ShellWaitResult ShellAndWait(const QString& file, int showStyle, const QString& workingFolder,
                             const LaunchOptions& options = {});

} // namespace velmora
