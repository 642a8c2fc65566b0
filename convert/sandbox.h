#pragma once

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>

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
    // bwrap, found to start programs here, around the Ghostscript at the
    // resolved path `ghostscript`, which the scripts call.
    static Sandbox confined(const QString& bwrap, const QString& ghostscript);
    // No confinement beyond safe mode, and why.
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

// Finds out once per program, and without waiting, whether bwrap is there
// and can start a program (some systems forbid the user namespaces it
// needs): a probe that hangs would otherwise hold up every Start. On
// Windows, which has no bwrap, the answer is there at once.
class SandboxProbe : public QObject {
    Q_OBJECT
public:
    // The program's one probe, started on first use.
    static SandboxProbe& shared();

    bool isDone() const { return m_done; }
    // The sandbox for the Ghostscript at `ghostscript`; once done.
    Sandbox sandboxFor(const QString& ghostscript) const;

    ~SandboxProbe() override;

signals:
    void done();

private:
    explicit SandboxProbe(QObject* parent);
    void start();
    void conclude(const QString& reason);

    QProcess m_process;
    QTimer m_limit;
    QString m_bwrap; // empty: no sandbox, m_reason says why
    QString m_reason;
    bool m_done = false;
};

} // namespace velmora
