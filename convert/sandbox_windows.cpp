#include "convert/sandbox.h"

#include "base/unique_handle_windows.h"
#include "convert/ghostscript_program.h"
#include "convert/stage_scripts.h"

#include <QDir>

namespace velmora {

namespace {

// Said once in the window and by velmora-convert, after "no sandbox".
const QString kNoSandbox = QStringLiteral("there is no bubblewrap on Windows");

// The command interpreter of the system's own folder, not whichever
// cmd.exe a search of the program's or the current folder would find first.
QString systemShell() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return QStringLiteral("cmd.exe");
    }
    return QString::fromWCharArray(folder, static_cast<qsizetype>(length)) +
           QStringLiteral("\\cmd.exe");
}

} // namespace

void SandboxProbe::start() {
    m_reason = kNoSandbox;
    m_done = true; // known at once: nobody waits for done()
}

Command Sandbox::wrap(const QString& script, const QString& folder, const QStringList& /*readOnly*/,
                      QProcessEnvironment environment) const {
    environment.insert(
        QLatin1String(kGhostscriptVariable),
        QDir::toNativeSeparators(m_ghostscript.isEmpty() ? DefaultGhostscript() : m_ghostscript));
    // The script is named from the folder it runs in, where both lie in the
    // run's work folder: a path of names the run chose, so none of the
    // characters the command interpreter treats specially in a path (a
    // user's temp folder may hold "&" or "^") reaches it. /d: no AutoRun
    // commands from the registry.
    return {systemShell(),
            {QStringLiteral("/d"), QStringLiteral("/c"),
             QDir::toNativeSeparators(QDir(folder).relativeFilePath(script))},
            environment};
}

} // namespace velmora
