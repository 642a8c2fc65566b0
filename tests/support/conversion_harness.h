#pragma once

#include "base/qt_event_pump.h"
#include "convert/busy_pointer.h"
#include "convert/conversion_run.h"
#include "convert/output_target.h"
#include "convert/progress_display.h"
#include "filelist/file_list.h"
#include "support/recording_prompter.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace velmora::test {

// A conversion run wired to recording stand-ins for the window: output
// choice, progress bar and pointers, with its own temp folder (so a test can
// tell that nothing of a run stays behind) and the built program's ps folder.
class ConversionHarness : public OutputTarget, public ProgressDisplay, public BusyPointer {
public:
    ConversionHarness();

    // OutputTarget
    Choice choice() const override;
    QString folderText() const override { return outputFolder; }
    // ProgressDisplay
    void setValue(double percent) override { progressValues.append(percent); }
    void setText(const QString& text) override { progressTexts.append(text); }
    // BusyPointer
    // Recorded as their classic numbers (0 default, 11 busy).
    void setWindowPointer(PointerState pointer) override {
        windowPointers.append(static_cast<int>(pointer));
    }
    void setApplicationPointer(PointerState pointer) override {
        applicationPointer = static_cast<int>(pointer);
    }

    RunSummary run();
    ConversionRun& conversion() { return *m_run; }

    // Files and folders left in the run's temp folder.
    QStringList leftInTemp() const;
    // Processes whose working folder lies in the run's temp folder.
    int childrenLeft() const;

    Choice outputChoice = Choice::BesideSource;
    QString outputFolder;
    int quality = 75;
    std::function<void()> onOutputRead; // called whenever the run reads the choice

    QList<double> progressValues;
    QStringList progressTexts;
    QList<int> windowPointers;
    int applicationPointer = 0;

    RecordingPrompter prompter;
    QtEventPump events;
    FileList sources;
    QTemporaryDir temp;
    ConversionSettings settings;

private:
    std::unique_ptr<ConversionRun> m_run;
};

} // namespace velmora::test
