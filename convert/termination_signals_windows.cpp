#include "convert/termination_signals.h"

#include "base/unique_handle_windows.h"

#include <mutex>

namespace velmora {

namespace {

// The numbers the console's events are given, Posix's for the same wish:
// SIGINT for Ctrl-C and Ctrl-Break, SIGTERM for close, logoff and shutdown.
constexpr int kInterrupt = 2;
constexpr int kTerminate = 15;
// The system ends the process once the handler of a close, logoff or
// shutdown returns, and at the latest after about five seconds: the handler
// waits a little less, so the run can stop Ghostscript and remove its work
// folder (the program ends by itself as soon as it has).
constexpr DWORD kEndingGraceMs = 4000;

// The handler runs on a thread of the system's: the lock keeps the instance
// from going between being looked up and being posted to.
std::mutex g_lock;
TerminationSignals* g_instance = nullptr;

int signalFor(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return kInterrupt;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        return kTerminate;
    default:
        return 0;
    }
}

BOOL WINAPI onConsoleEvent(DWORD event) {
    const int signalNumber = signalFor(event);
    if (signalNumber == 0) {
        return FALSE;
    }
    {
        const std::lock_guard lock(g_lock);
        if (g_instance == nullptr) {
            return FALSE;
        }
        QMetaObject::invokeMethod(g_instance, "deliver", Qt::QueuedConnection,
                                  Q_ARG(int, signalNumber));
    }
    if (signalNumber == kTerminate) {
        Sleep(kEndingGraceMs);
    }
    return TRUE;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    {
        const std::lock_guard lock(g_lock);
        g_instance = this;
    }
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

TerminationSignals::~TerminationSignals() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    // Events already posted to this object go with it.
    const std::lock_guard lock(g_lock);
    g_instance = nullptr;
}

} // namespace velmora
