#include "convert/shell_launch.h"

#include "base/error_numbers.h"

#include "convert/output_tail.h"
#include "convert/process_group.h"
#include "convert/run_cancellation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// 0x80040000 read as a signed 32-bit number: the base of errors that have no
// classic number of their own.
constexpr qint64 kUserErrorBase = -2147221504;

// What the shell hands back when the file was handed over (any value above 32).
constexpr int kHandedOver = 42;

// Shell failure codes this launcher produces itself.
constexpr int kShellFileNotFound = 2;
constexpr int kShellPathNotFound = 3;
constexpr int kShellAccessDenied = 5;
constexpr int kShellNoAssociation = 31;

const QString kScriptRunner = QStringLiteral("/bin/sh");
const QString kDesktopOpener = QStringLiteral("xdg-open");

// Without an event loop the wait checks its limits this often.
constexpr std::chrono::milliseconds kBlockingSlice{50};

struct LaunchPlan {
    QString program;
    QStringList arguments;
    QString workingFolder; // empty: the caller's own
};

// Either a plan or the shell failure code that stands for why there is none.
struct Prepared {
    std::optional<LaunchPlan> plan;
    int failureCode = 0;
};

QString shellErrorSource() {
    if (QCoreApplication::instance() == nullptr) {
        return QStringLiteral("velmora.GShell");
    }
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
           QStringLiteral(".GShell");
}

ShellError recordedFailure(int code) {
    ShellError error = ClassifyShellFailure(code);
    error.source = shellErrorSource();
    return error;
}

QString withoutQuotes(const QString& file) {
    if (file.size() >= 2 && file.startsWith(QLatin1Char('"')) && file.endsWith(QLatin1Char('"'))) {
        return file.mid(1, file.size() - 2);
    }
    return file;
}

bool looksLikeUrl(const QString& text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
    return scheme.match(text).hasMatch();
}

// The failure code for a working folder that cannot be used, 0 when fine.
int workingFolderProblem(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        return errno == EACCES ? kShellAccessDenied : kShellPathNotFound;
    }
    if (!S_ISDIR(info.st_mode)) {
        return kShellPathNotFound;
    }
    return ::access(native.constData(), X_OK) == 0 ? 0 : kShellAccessDenied;
}

// Checks everything a launch can be refused for before any process starts,
// so a refusal costs no time and names its real cause.
Prepared prepareLaunch(const QString& file, const QString& parameters, const QString& workingFolder,
                       const QString& verb) {
    const QString trimmedVerb = verb.trimmed();
    if (!trimmedVerb.isEmpty() &&
        trimmedVerb.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0) {
        // Printing, editing and the like have no stand-in here; doing an
        // "open" instead would be a different action than the one asked for.
        return {std::nullopt, kShellNoAssociation};
    }
    if (!workingFolder.isEmpty()) {
        if (const int problem = workingFolderProblem(workingFolder); problem != 0) {
            return {std::nullopt, problem};
        }
    }

    const QString path = withoutQuotes(file);
    if (path.isEmpty()) {
        return {std::nullopt, kShellFileNotFound};
    }
    const auto openWithDesktop = [&workingFolder](const QString& target) -> Prepared {
        const QString opener = QStandardPaths::findExecutable(kDesktopOpener);
        if (opener.isEmpty()) {
            return {std::nullopt, kShellNoAssociation};
        }
        return {LaunchPlan{opener, {target}, workingFolder}, 0};
    };
    if (looksLikeUrl(path)) {
        return openWithDesktop(path);
    }

    // An absolute path resolves a relative name against the working folder,
    // where the child runs, and can never be mistaken for an option.
    const QString absolute = workingFolder.isEmpty() ? QFileInfo(path).absoluteFilePath()
                                                     : QDir(workingFolder).absoluteFilePath(path);
    const QByteArray native = QFile::encodeName(absolute);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        return {std::nullopt, errno == EACCES ? kShellAccessDenied : kShellFileNotFound};
    }

    if (!S_ISDIR(info.st_mode) && absolute.endsWith(QLatin1String(".sh"), Qt::CaseInsensitive)) {
        if (::access(native.constData(), R_OK) != 0) {
            return {std::nullopt, kShellAccessDenied};
        }
        // Parameters become separate arguments; nothing is ever handed to a
        // shell as command text.
        QStringList arguments{absolute};
        arguments += QProcess::splitCommand(parameters);
        return {LaunchPlan{kScriptRunner, arguments, workingFolder}, 0};
    }

    return openWithDesktop(absolute);
}

void applyPlan(QProcess& process, const LaunchPlan& plan) {
    process.setProgram(plan.program);
    process.setArguments(plan.arguments);
    if (!plan.workingFolder.isEmpty()) {
        process.setWorkingDirectory(plan.workingFolder);
    }
    process.setStandardInputFile(QProcess::nullDevice());
}

// The failure code for a process that QProcess could not start although the
// checks before the start passed.
int startFailureCode(const LaunchPlan& plan) {
    const QByteArray program = QFile::encodeName(plan.program);
    return ::access(program.constData(), F_OK) == 0 ? kShellAccessDenied : kShellFileNotFound;
}

// Why a wait ended early.
enum class Interruption { None, TimeLimit, Cancelled };

Interruption waitWithEventLoop(QProcess& process, const LaunchOptions& options) {
    Interruption interruption = Interruption::None;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);

    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        interruption = Interruption::TimeLimit;
        loop.quit();
    });
    if (options.timeLimit.count() > 0) {
        limit.start(options.timeLimit);
    }
    if (options.cancellation != nullptr) {
        QObject::connect(options.cancellation, &RunCancellation::cancelled, &loop, [&] {
            interruption = Interruption::Cancelled;
            loop.quit();
        });
    }

    // The child may have ended before the loop runs; its finished() would
    // then already be spent.
    if (process.state() != QProcess::NotRunning) {
        loop.exec();
        // exec() returns at once while the application is quitting (an exit
        // was asked for): keep events running by hand until the child ends.
        while (interruption == Interruption::None && process.state() != QProcess::NotRunning) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            process.waitForFinished(5);
        }
    }
    // A limit that fires just as the child ends does not count: the child
    // finished by itself.
    if (interruption != Interruption::None &&
        (process.state() == QProcess::NotRunning || process.waitForFinished(0))) {
        interruption = Interruption::None;
    }
    return interruption;
}

Interruption waitBlocking(QProcess& process, const LaunchOptions& options) {
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning) {
        if (options.cancellation != nullptr && options.cancellation->isCancelled()) {
            return Interruption::Cancelled;
        }
        auto slice = kBlockingSlice;
        if (options.timeLimit.count() > 0) {
            const std::chrono::milliseconds left =
                options.timeLimit - std::chrono::milliseconds(clock.elapsed());
            if (left.count() <= 0) {
                return Interruption::TimeLimit;
            }
            slice = std::min(slice, left);
        }
        process.waitForFinished(static_cast<int>(std::max<qint64>(slice.count(), 1)));
    }
    return Interruption::None;
}

} // namespace

ShellError ClassifyShellFailure(int code) {
    const auto userError = [code](const char* message) {
        return ShellError{kUserErrorBase + 1048 + code, QString::fromLatin1(message), {}};
    };
    const auto classic = [](qint64 number, const char* message) {
        return ShellError{number, QString::fromLatin1(message), {}};
    };
    switch (code) {
    case 0:
    case 8:
        return classic(error_number::kOutOfMemory, "Out of memory");
    case 2:
        return classic(error_number::kFileNotFound, "File not found");
    case 3:
        return classic(error_number::kPathNotFound, "Path not found");
    case 5:
        return classic(error_number::kPathFileAccessError, "Path/file access error");
    case 11:
        return userError("The executable file is invalid or corrupt");
    case 26:
        return classic(error_number::kPathFileAccessError, "A sharing violation occurred.");
    case 27:
        return userError("This file type does not have a valid file association.");
    case 28:
        return classic(error_number::kDdeTimeout,
                       "The file could not be opened due to time out. Please try again in "
                       "a moment.");
    case 29:
        return classic(error_number::kDdeFailed,
                       "The file could not be opened because the DDE transaction failed. "
                       "Please try again in a moment.");
    case 30:
        return classic(error_number::kDdeFailed,
                       "The file could not be opened because the target application is "
                       "busy. Please try again in a moment.");
    case 31:
        return userError("No application is associated with this file type.");
    case 32:
        return classic(error_number::kDllNotFound,
                       "The specified dynamic-link library was not found.");
    default:
        return userError("An error occurred occurred whilst trying to open or print the "
                         "selected file.");
    }
}

int EffectiveShowStyle(const QString& file, int showStyle, const QString& parameters,
                       const QString& workingFolder) {
    // Without parameters and folder the launch is always shown normally, even
    // for a program file; otherwise a program file always starts hidden.
    if (parameters.isEmpty() && workingFolder.isEmpty()) {
        return 1;
    }
    if (file.toUpper().contains(QLatin1String(".EXE"))) {
        return 0;
    }
    return showStyle;
}

ShellOpenResult ShellOpen(const QString& file, int showStyle, const QString& parameters,
                          const QString& workingFolder, const QString& verb, quintptr ownerWindow) {
    // Children on this platform have no windows to show or to own.
    (void)EffectiveShowStyle(file, showStyle, parameters, workingFolder);
    (void)ownerWindow;

    const Prepared prepared = prepareLaunch(file, parameters, workingFolder, verb);
    if (!prepared.plan) {
        return {prepared.failureCode, recordedFailure(prepared.failureCode)};
    }
    QProcess process;
    applyPlan(process, *prepared.plan);
    if (!process.startDetached()) {
        const int code = startFailureCode(*prepared.plan);
        return {code, recordedFailure(code)};
    }
    return {kHandedOver, std::nullopt};
}

ShellWaitResult ShellAndWait(const QString& file, int showStyle, const QString& workingFolder,
                             const LaunchOptions& options) {
    ShellWaitResult result;
    if (showStyle < 0 || showStyle > 6) {
        showStyle = 6;
    }
    (void)EffectiveShowStyle(file, showStyle, QString(), workingFolder);

    const Prepared prepared = prepareLaunch(file, QString(), workingFolder, QStringLiteral("open"));
    if (!prepared.plan) {
        result.error = recordedFailure(prepared.failureCode);
        return result;
    }
    if (options.cancellation != nullptr && options.cancellation->isCancelled()) {
        result.cancelled = true;
        return result;
    }

    QProcess process;
    applyPlan(process, *prepared.plan);
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (options.environment) {
        process.setProcessEnvironment(*options.environment);
    }
    RunInOwnProcessGroup(process, options.memoryLimitBytes);
    OutputTail tail(kShellOutputTailBytes);
    const auto keepOutputTail = [&] { tail.append(process.readAllStandardOutput()); };
    QObject::connect(&process, &QProcess::readyReadStandardOutput, keepOutputTail);

    process.start();
    if (!process.waitForStarted(-1)) {
        const int code = startFailureCode(*prepared.plan);
        result.error = recordedFailure(code);
        return result;
    }
    const Interruption interruption = QCoreApplication::instance() != nullptr
                                          ? waitWithEventLoop(process, options)
                                          : waitBlocking(process, options);
    if (interruption != Interruption::None) {
        StopProcessGroup(process);
        result.timedOut = interruption == Interruption::TimeLimit;
        result.cancelled = interruption == Interruption::Cancelled;
    }
    if (process.state() != QProcess::NotRunning) {
        process.waitForFinished(-1);
    }
    keepOutputTail();
    result.output = tail.text();

    // A child killed by a signal reports it the way shells do.
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode()
                                                                   : 128 + process.exitCode();
    return result;
}

} // namespace velmora
