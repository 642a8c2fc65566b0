#include "app/run_control.h"

#include "app/launcher_progress.h"
#include "app/run_words.h"
#include "app/setting.h"
#include "app/settings_store.h"
#include "app/settings_values.h"
#include "app/text_progress_bar.h"
#include "app/window_layout.h"
#include "app/window_pointer.h"
#include "base/failure.h"
#include "base/prompter.h"
#include "convert/file_outcome.h"
#include "filelist/file_list.h"

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmora {

namespace {

// Failed files the "Done." box names before "and N more".
constexpr int kDoneBoxLines = 20;
constexpr int kFullBar = 100;

} // namespace

RunControl::RunControl(const WindowControls& controls, FileList& files, Prompter& prompter,
                       SettingsStore& settings, WindowPointer& pointer,
                       const QString& programFolder, std::function<bool()> closing,
                       DesktopHooks desktop, QObject* parent)
    : QObject(parent), m_controls(controls), m_files(files), m_prompter(prompter),
      m_settings(settings), m_pointer(pointer), m_closing(std::move(closing)),
      m_desktop(std::move(desktop)),
      m_notice(m_desktop.notifier, m_desktop.clock, m_desktop.windowActive, m_desktop.bringToFront),
      m_run(*this, ConversionSettings{programFolder, {}}) {
    connect(&m_run, &ConversionRun::started, this, &RunControl::runStarted);
    connect(&m_run, &ConversionRun::finished, this, &RunControl::afterRun);
}

OutputChoice RunControl::outputChoice() const {
    if (m_controls.intoFolderOption->isChecked()) {
        return OutputChoice::Folder;
    }
    if (m_controls.besideSourceOption->isChecked()) {
        return OutputChoice::BesideSource;
    }
    return OutputChoice::None;
}

void RunControl::startConverting() {
    // A click during a run does nothing.
    if (m_run.isConverting()) {
        return;
    }
    // A hand-edited value that is no whole number above 0 means the default.
    bool ok = false;
    const int jobs = m_settings.read(setting::kJobs).toInt(&ok);
    m_run.settings().jobs = ok && jobs > 0 ? jobs : 0;
    const qint64 writeMB = m_settings.read(setting::kWriteLimitMB).toLongLong(&ok);
    m_run.settings().writeLimitBytes = ok && writeMB > 0 ? writeMB * ConversionSettings::kMB
                                                         : ConversionSettings{}.writeLimitBytes;
    // What the user pressed Start with is what runs: the rows, the output
    // place and the quality as they are now.
    m_runOutput = outputChoice();
    m_runFolder = m_controls.outputFolderEdit->text();
    m_run.start({m_files.rows(), m_runOutput, m_runFolder, m_controls.qualitySlider->value()});
}

void RunControl::runStarted() {
    m_busy.emplace(m_pointer);
    m_pointer.setApplicationPointer(PointerState::Busy);
    m_notice.runStarted();
    if (m_desktop.launcher != nullptr) {
        m_desktop.launcher->show(0);
    }
}

void RunControl::askToStop() {
    if (!m_run.isConverting() || m_asking) {
        return;
    }
    // The run holds while the user thinks: no Ghostscript starts, the
    // running ones go on.
    m_run.hold(true);
    m_asking = true;
    const Prompter::Answer answer = m_prompter.message(
        QStringLiteral("Stop converting?"), {}, Prompter::Buttons::YesNo, Prompter::Icon::Question);
    m_asking = false;
    // A run that ended meanwhile closed the question; its end box follows.
    if (std::optional<RunSummary> ended = std::exchange(m_endedWhileAsking, std::nullopt)) {
        showEnd(*ended);
        return;
    }
    if (answer == Prompter::Answer::Yes) {
        m_run.stop();
    } else {
        m_run.hold(false);
    }
}

QString RunControl::sandboxNoticeText(PathStyle system) {
    if (system == PathStyle::Windows) {
        return QStringLiteral(
            "There is no sandbox for Ghostscript on Windows, so documents are converted with "
            "Ghostscript's own safe mode, each in a job object that bounds its memory.");
    }
    return QStringLiteral(
        "Ghostscript could not be started in a sandbox (the program bwrap is missing or not "
        "allowed on this system), so documents are converted with Ghostscript's own safe mode "
        "only. Install the package bubblewrap for stronger protection.");
}

void RunControl::afterRun(const RunSummary& summary) {
    // A Start refused before the run began leaves the window as it was: a
    // folder walk may still hold it busy.
    if (m_busy) {
        m_busy.reset();
        m_pointer.setApplicationPointer(PointerState::Default);
    }
    m_controls.progressBar->setValue(0);
    m_controls.progressBar->setBarText(ProgressBarIdleText());
    if (m_desktop.launcher != nullptr) {
        m_desktop.launcher->hide();
    }
    // "Stop converting?" has nothing left to stop: it closes, and the end
    // box opens once it has.
    if (m_asking) {
        m_prompter.dismissOpenMessage();
    }
    if (m_closing()) {
        return;
    }
    // Before the box, which waits for the user: the notice is what calls
    // the user back to it.
    m_notice.runEnded(summary);
    if (m_asking) {
        m_endedWhileAsking = summary;
        return;
    }
    showEnd(summary);
}

void RunControl::showEnd(const RunSummary& summary) {
    showDoneBox(summary);
    if (!summary.sandboxed && !m_closing()) {
        tellOnceAboutTheSandbox();
    }
}

void RunControl::showDoneBox(const RunSummary& summary) {
    // Hundreds of failed files would not fit on the screen: the box names
    // the first ones, its details hold them all.
    const QString shown = EndBoxText(summary, kDoneBoxLines);
    if (shown.isEmpty()) {
        return;
    }
    const QString whole = EndBoxText(summary);
    // Pages that went to one folder can be looked at from the box; pages
    // beside their sources may lie in many folders, so none is offered.
    const bool converted = summary.status == RunSummary::Status::Converted ||
                           summary.status == RunSummary::Status::StoppedByUser;
    const bool oneFolder = converted && m_runOutput == OutputChoice::Folder;
    // A file that did not convert fully is worth the warning's icon.
    const Prompter::Answer answer = m_prompter.message(
        shown, {}, oneFolder ? Prompter::Buttons::OkOpenFolder : Prompter::Buttons::Ok,
        summary.anyFailed() ? Prompter::Icon::Exclamation : Prompter::Icon::None,
        shown == whole ? QString() : whole);
    if (oneFolder && answer == Prompter::Answer::OpenFolder) {
        OpenFolderOrSayWhy(m_desktop.openFolder, m_prompter, this,
                           QDir(m_runFolder).absolutePath());
    }
}

void RunControl::tellOnceAboutTheSandbox() {
    bool told = false;
    try {
        told = TruthFromText(m_settings.read(setting::kSandboxNoticeShown));
    } catch (const Failure&) {
        // a hand-edited value that is no truth value: tell once more
    }
    if (told) {
        return;
    }
    // Recorded before the box opens, so a program ended with the box still
    // open does not tell again either.
    m_settings.write(setting::kSandboxNoticeShown, TruthText(true));
    m_prompter.message(sandboxNoticeText(), {}, Prompter::Buttons::Ok, Prompter::Icon::Information);
}

void RunControl::progressed(const RunProgress& progress) {
    const double percent = progress.percent;
    m_controls.progressBar->setValue(std::isfinite(percent) ? qBound(0, qRound(percent), kFullBar)
                                                            : 0);
    if (m_desktop.launcher != nullptr && m_run.isConverting()) {
        m_desktop.launcher->show(percent / kFullBar);
    }
    if (const QString text = ProgressBarText(progress); !text.isEmpty()) {
        m_controls.progressBar->setBarText(text);
    }
}

void RunControl::fileEnded(const FileOutcome& outcome) {
    if (outcome.failed() && m_desktop.launcher != nullptr && m_run.isConverting()) {
        m_desktop.launcher->fileFailed();
    }
}

void RunControl::problem(const Problem& problem) {
    // The box waits for the user; the engine does not: it opens once the
    // engine's step is over.
    QMetaObject::invokeMethod(
        this, [this, problem] { m_prompter.problem(problem); }, Qt::QueuedConnection);
}

} // namespace velmora
