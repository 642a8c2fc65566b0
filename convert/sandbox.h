#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace velmora {

// A command ready to start: program, arguments and environment.
struct Command {
    QString program;
    QStringList arguments;
    QProcessEnvironment environment;
};

// The confinement around every Ghostscript: with bubblewrap (bwrap) it sees
// the system read-only, its own folder writable, the scripts folder
// read-only, and nothing else of the user; it has no network, its own
// process ids, and ends with the program. Without a working bwrap, and on
// Windows, which has none, Ghostscript's own safe mode is all there is.
class Sandbox {
public:
    // Finds bwrap on PATH and checks once that it can start a program here
    // (some systems forbid the user namespaces it needs); on Windows, none.
    // ghostscript is the resolved path of the Ghostscript program the
    // scripts call.
    static Sandbox detect(const QString& ghostscript);
    // No confinement beyond safe mode, for callers that ask for none.
    static Sandbox none(const QString& ghostscript, const QString& reason);

    bool isActive() const { return !m_bwrap.isEmpty(); }
    // Why there is no sandbox (empty when there is one).
    const QString& unavailableReason() const { return m_reason; }

    // Wraps running `script` under /bin/sh (Windows: cmd.exe) in `folder`,
    // which becomes the only writable place; `readOnly` folders are visible
    // but not writable. On Windows the scripts find Ghostscript through the
    // environment (kGhostscriptVariable).
    Command wrap(const QString& script, const QString& folder, const QStringList& readOnly,
                 QProcessEnvironment environment) const;

private:
    QString m_bwrap; // empty: no sandbox
    QString m_ghostscript;
    QString m_reason;
};

} // namespace velmora
