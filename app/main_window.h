#pragma once

// The program's one window: it owns and wires the controls, starts up, and
// handles closing and Escape.

#include "app/desktop_hooks.h"
#include "app/window_layout.h"
#include "app/window_pointer.h"
#include "base/qt_event_pump.h"
#include "filelist/file_list.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace velmora {

class ConversionRun;
class FileListControls;
class PointerFeedback;
class Prompter;
class RunControl;
class SettingsBinding;
class SettingsStore;

// The file list and its buttons, where the pages go, the JPEG quality, the
// start button and the progress bar. Each role lives in a room of its own:
// the layout builds the controls, the settings binding mirrors the choices,
// the list controls fill and order the list, the run control converts, and
// the pointer feedback follows the mouse.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // drawOneToHundred gives a whole number from 1 to 100 for the occasional
    // home page; programFolder holds ps/, Samples/, the pointer and skin files;
    // desktop: the notices, dock progress and file manager (none by default
    // but the file manager).
    MainWindow(Prompter& prompter, SettingsStore& settings, std::function<int()> drawOneToHundred,
               QString programFolder, DesktopHooks desktop = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    static constexpr int kHomePageDraw = 7;

    PointerState windowPointer() const { return m_pointer.state(); }
    WindowPointer& pointer() { return m_pointer; }
    FileList& fileList() { return m_files; }
    EventPump& events() { return m_events; }
    FileListControls& listControls() { return *m_listControls; }
    RunControl& runControl() { return *m_runControl; }
    ConversionRun& run();
    Prompter& prompter() { return m_prompter; }
    SettingsStore& settings() { return m_settings; }
    const QString& programFolder() const { return m_programFolder; }

    // Start-up, before the window is first shown (run by the constructor).
    void restoreState();
    // The window closes: the run stops, the program ends.
    void shutDown();
    // The output folder's "...": picks a folder for the folder box.
    void browseOutputFolder();
    // A click on the notice of a run's end: the window comes back from
    // minimised, in front of the others, with the keyboard.
    void bringToFront();

signals:
    // Emitted once when the window has been closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void wireControls();
    DesktopHooks withWindowState(DesktopHooks desktop);

    Prompter& m_prompter;
    SettingsStore& m_settings;
    std::function<int()> m_drawOneToHundred;
    QString m_programFolder;
    bool m_closing = false;

    FileList m_files;
    QtEventPump m_events;
    WindowPointer m_pointer;
    WindowControls m_controls;
    std::unique_ptr<PointerFeedback> m_pointerFeedback;
    std::unique_ptr<SettingsBinding> m_settingsBinding;
    std::unique_ptr<RunControl> m_runControl;
    // Last: it works on the view and the list above.
    std::unique_ptr<FileListControls> m_listControls;
};

} // namespace velmora
