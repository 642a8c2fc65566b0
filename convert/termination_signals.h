#pragma once

#include <QObject>

namespace velmora {

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the UI thread, so a
// run that is stopped from outside (Ctrl-C, logout) still stops Ghostscript,
// which runs in a process group of its own and so gets no terminal signal,
// and removes its work folder. On Windows the console's events stand for
// them: Ctrl-C and Ctrl-Break arrive as SIGINT, closing the console, logoff
// and shutdown as SIGTERM. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The signal number that arrived last; 0 when none has.
    int lastSignal() const { return m_lastSignal; }

signals:
    void received(int signalNumber);

private:
    // Records the signal and announces it; runs on this object's thread.
    Q_INVOKABLE void deliver(int signalNumber);

    int m_lastSignal = 0;
};

} // namespace velmora
