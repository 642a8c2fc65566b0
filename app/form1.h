#pragma once

#include "app/file_list_controls.h"
#include "app/window_pointer.h"
#include "base/qt_event_pump.h"
#include "convert/conversion_port.h"
#include "convert/conversion_run.h"
#include "filelist/file_list.h"

#include <QWidget>

#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTreeView;

namespace velmora {

class Prompter;
class SettingsStore;
class TextProgressBar;

// The program's one window: the file list, its buttons, where the pages go,
// the JPEG quality, the start button and the progress bar. Its controls keep
// the user's choices (mirrored to the settings store on every change) and
// show what the conversion run reports.
class Form1 : public QWidget, public ConversionPort {
    Q_OBJECT
public:
    // drawOneToHundred gives a whole number from 1 to 100 for the occasional
    // home page; programFolder holds ps/, Samples/, the pointer and skin files.
    Form1(Prompter& prompter, SettingsStore& settings, std::function<int()> drawOneToHundred,
          QString programFolder, QWidget* parent = nullptr);
    ~Form1() override;

    static constexpr int kHomePageDraw = 7;

    // Where the pages of a run started now would go.
    OutputChoice outputChoice() const;

    PointerState windowPointer() const { return m_pointer.state(); }
    WindowPointer& pointer() { return m_pointer; }

    // ConversionPort: the progress bar and the error boxes.
    void progressed(double percent, const QString& text) override;
    void fileEnded(const FileOutcome&) override {}
    void problem(const Problem& problem) override;

    FileList& fileList() { return m_files; }
    QTreeView& listView() { return *m_listView1; }
    EventPump& events() { return m_events; }
    // The list's own controls: its buttons, keys, drops and row dragging.
    FileListControls& listControls() { return *m_listHandlers; }
    ConversionRun& run() { return m_run; }
    Prompter& prompter() { return m_prompter; }
    SettingsStore& settings() { return m_settings; }
    const QString& programFolder() const { return m_programFolder; }
    // True once the window is closing: long work should stop.
    bool isClosing() const { return m_closing; }

    // Start-up, before the window is first shown (run by the constructor).
    void Form_Load();
    // The window closes: the run stops, the program ends.
    void Form_Unload();

    void Option1_Click();
    void Option2_Click();
    void Text1_Change();
    void Slider1_Change();
    void PushButton7_Click();
    void PushButton2_Click();
    // Escape while converting: asks whether to stop, and stops on Yes.
    void StopRequested();
    // What the window does once a run has ended: the pointer and the bar
    // come back, the "Done." box, and once ever the notice that Ghostscript
    // could not be sandboxed.
    void afterRun(const RunSummary& summary);
    static QString sandboxNoticeText();

    // Pointer feedback: over a push button, and over the window background,
    // a frame, the folder box or the list.
    void PushButton_MouseMove();
    void Form_MouseMove();

signals:
    // Emitted once when the window has been closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildControls();
    void arrangeTabOrder();
    void connectHandlers();
    void watchPointer(QWidget* widget);
    void optionClick();
    void runStarted();
    static void assignOption(QRadioButton* option, bool selected);

    Prompter& m_prompter;
    SettingsStore& m_settings;
    std::function<int()> m_drawOneToHundred;
    QString m_programFolder;
    QString m_lastFolderDot;
    bool m_closing = false;

    FileList m_files;
    QtEventPump m_events;
    WindowPointer m_pointer;
    ConversionRun m_run;

    QGroupBox* m_frame3 = nullptr;
    QSlider* m_slider1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    QTreeView* m_listView1 = nullptr;
    TextProgressBar* m_progressBar1 = nullptr;
    QPushButton* m_pushButton1 = nullptr;
    QPushButton* m_pushButton4 = nullptr;
    QPushButton* m_pushButton2 = nullptr;
    QPushButton* m_pushButton9 = nullptr;
    QPushButton* m_pushButton10 = nullptr;
    QGroupBox* m_frame1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QRadioButton* m_option1 = nullptr;
    QGroupBox* m_frame4 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_pushButton7 = nullptr;
    QList<QPushButton*> m_buttons;
    QList<QWidget*> m_backgroundAreas;
    // Last: it works on the view and the list above.
    std::unique_ptr<FileListControls> m_listHandlers;
};

} // namespace velmora
