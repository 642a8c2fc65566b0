#pragma once

#include <QObject>

namespace velmora {

// Asks long work on the UI thread (a conversion, a wait for a child program,
// a folder walk) to stop as soon as it can, e.g. because the window closes.
// Waits connect to cancelled() so they wake at once.
class RunCancellation : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool isCancelled() const { return m_cancelled; }
    void cancel();
    void reset() { m_cancelled = false; }

signals:
    void cancelled();

private:
    bool m_cancelled = false;
};

} // namespace velmora
