#include "app/main_window.h"

#include "app/cursor_file.h"
#include "app/file_list_controls.h"
#include "app/folder_browser.h"
#include "app/list_column_fit.h"
#include "app/pointer_feedback.h"
#include "app/run_control.h"
#include "app/setting.h"
#include "app/settings_binding.h"
#include "app/settings_store.h"
#include "app/skin.h"
#include "app/startup_helpers.h"
#include "base/located_trap.h"
#include "convert/work_layout.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

#include <chrono>

namespace velmora {

namespace {

// The longest a closed window waits for its run's Ghostscripts to end.
constexpr std::chrono::seconds kLongestCloseWait{5};

// A plain top-level widget reads as a "filler" to a screen reader, which then
// neither names the window when it opens nor finds it as one; it is a frame.
QAccessibleInterface* AccessibleAsWindow(const QString& className, QObject* object) {
    return className == QLatin1String(MainWindow::staticMetaObject.className())
               ? new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window)
               : nullptr;
}

} // namespace

MainWindow::MainWindow(Prompter& prompter, SettingsStore& settings,
                       std::function<int()> drawOneToHundred, QString programFolder,
                       DesktopHooks desktop, QWidget* parent)
    : QWidget(parent), m_prompter(prompter), m_settings(settings),
      m_drawOneToHundred(std::move(drawOneToHundred)), m_programFolder(std::move(programFolder)),
      m_pointer(*this), m_controls(BuildWindowLayout(*this)),
      m_pointerFeedback(std::make_unique<PointerFeedback>(m_pointer)),
      m_settingsBinding(std::make_unique<SettingsBinding>(m_controls, m_settings)),
      m_runControl(std::make_unique<RunControl>(
          m_controls, m_files, m_prompter, m_settings, m_pointer, m_programFolder,
          [this] { return m_closing; }, withWindowState(desktop))),
      m_listControls(std::make_unique<FileListControls>(*m_controls.fileList, m_files, m_prompter,
                                                        m_settings, m_pointer, m_events,
                                                        m_programFolder, desktop.openFolder)) {
    m_listControls->setStopRequested([this] { return m_closing; });
    [[maybe_unused]] static const bool accessibleAsWindow =
        (QAccessible::installFactory(AccessibleAsWindow), true);
    // The program ends when the window has closed and its run has stopped
    // (shutDown), not the moment the last window is hidden.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    wireControls();
    restoreState();
}

MainWindow::~MainWindow() {
    m_listControls.reset();
    // The view outlives the list it shows (children go after members).
    m_controls.fileList->setModel(nullptr);
}

DesktopHooks MainWindow::withWindowState(DesktopHooks desktop) {
    if (!desktop.windowActive) {
        // Any window of ours with the keyboard counts: the user reading one
        // of our boxes is at the program too.
        desktop.windowActive = [] { return QApplication::activeWindow() != nullptr; };
    }
    if (!desktop.bringToFront) {
        // A notice may be clicked after the window has gone.
        desktop.bringToFront = [window = QPointer<MainWindow>(this)] {
            if (window) {
                window->bringToFront();
            }
        };
    }
    return desktop;
}

void MainWindow::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

ConversionRun& MainWindow::run() {
    return m_runControl->run();
}

void MainWindow::wireControls() {
    const WindowControls& c = m_controls;
    connect(c.addFilesButton, &QPushButton::clicked, m_listControls.get(),
            &FileListControls::addFiles);
    connect(c.addFolderButton, &QPushButton::clicked, m_listControls.get(),
            &FileListControls::addFolder);
    connect(c.clearListButton, &QPushButton::clicked, m_listControls.get(),
            &FileListControls::clearList);
    connect(c.samplesButton, &QPushButton::clicked, m_listControls.get(),
            &FileListControls::loadSamples);
    connect(c.browseButton, &QPushButton::clicked, this, &MainWindow::browseOutputFolder);
    connect(c.startButton, &QPushButton::clicked, m_runControl.get(), &RunControl::startConverting);
    for (QPushButton* button : c.buttons) {
        m_pointerFeedback->watch(button);
    }
    for (QWidget* area : c.backgroundAreas) {
        m_pointerFeedback->watch(area);
    }
}

void MainWindow::restoreState() {
    using Steps = report_location::StartUp;
    LocatedTrap<Steps> trap(m_prompter);

    trap.step(Steps::kApplyLook, [&] { ApplySkin(*this, m_programFolder); });

    const QString handPath = m_programFolder + QStringLiteral("/HAND-M.CUR");
    if (trap.test(Steps::kFindHandPointer, [&] { return PathExists(handPath); })) {
        trap.step(Steps::kLoadHandPointer,
                  [&] { m_pointer.setCustomCursor(LoadCursorFile(handPath)); });
    }

    trap.step(Steps::kMaybeOpenHomePage, [&] {
        if (m_drawOneToHundred && m_drawOneToHundred() == kHomePageDraw) {
            QDesktopServices::openUrl(QUrl(HomePageAddress()));
        }
    });

    trap.step(Steps::kShowCaptionAndIcon, [&] {
        setWindowTitle(ProductName());
        const QString iconPath = m_programFolder + QStringLiteral("/velmora.ico");
        if (QFileInfo(iconPath).isFile()) {
            const QIcon icon(iconPath);
            setWindowIcon(icon);
            QGuiApplication::setWindowIcon(icon);
        }
        SetApplicationTitle();
    });

    trap.step(Steps::kShowList, [&] { m_controls.fileList->setModel(&m_files); });
    trap.step(Steps::kFitColumn, [&] { m_controls.listColumnFit->fit(); });

    m_settingsBinding->restore(trap);

    trap.step(Steps::kFindWorkFolderBase,
              [&] { run().settings().tempFolder = WorkLayout::tempFolderFromEnvironment(); });
}

void MainWindow::shutDown() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    // Stops Ghostscript and removes the work folder of a run that is going on.
    m_runControl->cancel();
    emit closed();
    // Ends the program once control is back in the event loop, after a
    // stopped run has said it ended: its Ghostscripts gone, its folder
    // removed. One stuck in the system does not keep the program for ever.
    // (Outside the event loop, as in tests, this does nothing.)
    QCoreApplication* program = QCoreApplication::instance();
    const auto quit = [] { QCoreApplication::quit(); };
    if (run().isConverting()) {
        connect(&run(), &ConversionRun::finished, program, quit,
                static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
        QTimer::singleShot(kLongestCloseWait, program, quit);
    } else {
        QMetaObject::invokeMethod(program, quit, Qt::QueuedConnection);
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Keys the focused control leaves alone arrive here.
    if (event->key() == Qt::Key_Escape && run().isConverting()) {
        m_runControl->askToStop();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    m_pointerFeedback->overBackground();
    QWidget::mouseMoveEvent(event);
}

void MainWindow::browseOutputFolder() {
    using Steps = report_location::BrowseOutputFolder;
    LocatedTrap<Steps> trap(m_prompter);
    QString picked;
    trap.step(Steps::kPickFolder, [&] {
        picked = BrowseForFolder(m_prompter, FolderPickerTitle(),
                                 m_settings.read(setting::kLastFolderDot));
    });
    if (trap.test(Steps::kTestCancelled, [&] { return picked.isEmpty(); })) {
        return;
    }
    trap.step(Steps::kKeepPicked, [&] { m_settings.write(setting::kLastFolderDot, picked); });
    QLineEdit* folderEdit = m_controls.outputFolderEdit;
    if (trap.test(Steps::kKeepPicked, [&] { return !picked.endsWith(QDir::separator()); })) {
        trap.step(Steps::kShowWithSeparator,
                  [&] { folderEdit->setText(picked + QDir::separator()); });
    } else {
        trap.step(Steps::kShowAsPicked, [&] { folderEdit->setText(picked); });
    }
}

} // namespace velmora
