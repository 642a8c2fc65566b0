#pragma once

// Starts and stops conversions from the window, and shows what the engine
// reports: the progress bar (also on the dock), error boxes, the "Done." box,
// the desktop notice of a long run and one-time notices.

#include "app/desktop_hooks.h"
#include "app/run_end_notice.h"
#include "app/window_pointer.h"
#include "base/path_style.h"
#include "convert/conversion_port.h"
#include "convert/conversion_run.h"

#include <QObject>

#include <functional>
#include <optional>

namespace velmora {

class FileList;
class Prompter;
class SettingsStore;
struct WindowControls;

// The window's side of the engine's port.
class RunControl : public QObject, public ConversionPort {
    Q_OBJECT
public:
    // `closing` says whether the window is closing: a run that ends then
    // tells nothing. `desktop` comes with its window state and bringing to
    // the front filled in.
    RunControl(const WindowControls& controls, FileList& files, Prompter& prompter,
               SettingsStore& settings, WindowPointer& pointer, const QString& programFolder,
               std::function<bool()> closing, DesktopHooks desktop, QObject* parent = nullptr);

    ConversionRun& run() { return m_run; }
    // Where the pages of a run started now would go.
    OutputChoice outputChoice() const;

    // "Start Converting To JPG": converts the listed rows as they are now.
    void startConverting();
    // Escape while converting: asks whether to stop, and stops on Yes.
    void askToStop();
    // The window closes: the run stops quietly.
    void cancel() { m_run.cancel(); }

    // What the window does once a run has ended: the pointer and the bars
    // come back, a desktop notice after a long run, the "Done." box (with
    // "Open Folder" when the pages went to one folder), and once ever the
    // notice that Ghostscript could not be sandboxed.
    void afterRun(const RunSummary& summary);
    static QString sandboxNoticeText(PathStyle system = nativePathStyle());

    // ConversionPort: the progress bar and the error boxes.
    void progressed(const RunProgress& progress) override;
    void fileEnded(const FileOutcome& outcome) override;
    void problem(const Problem& problem) override;

private:
    void runStarted();
    void showEnd(const RunSummary& summary);
    void showDoneBox(const RunSummary& summary);
    void tellOnceAboutTheSandbox();

    const WindowControls& m_controls;
    FileList& m_files;
    Prompter& m_prompter;
    SettingsStore& m_settings;
    WindowPointer& m_pointer;
    std::function<bool()> m_closing;
    DesktopHooks m_desktop;
    RunEndNotice m_notice;
    // Where the last Start put the pages: the folder the "Done." box opens.
    OutputChoice m_runOutput = OutputChoice::None;
    QString m_runFolder;
    std::optional<WindowPointer::BusyScope> m_busy; // while a run goes on
    bool m_asking = false;                          // "Stop converting?" is open
    std::optional<RunSummary> m_endedWhileAsking;
    ConversionRun m_run;
};

} // namespace velmora
