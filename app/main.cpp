#include "app/desktop_services.h"
#include "app/file_list_controls.h"
#include "app/main_window.h"
#include "app/qt_prompter.h"
#include "app/settings_store.h"
#include "app/startup_helpers.h"
#include "convert/termination_signals.h"

#include <QApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(velmora::ProductName());
    // Ties the window to its desktop entry (icon and name in docks on Wayland).
    QGuiApplication::setDesktopFileName(velmora::DesktopEntryId());

    velmora::QtPrompter prompter;
    velmora::SettingsStore settings(prompter);
    const velmora::DesktopServices desktop;
    velmora::MainWindow window(
        prompter, settings, [] { return QRandomGenerator::global()->bounded(1, 101); },
        QCoreApplication::applicationDirPath(), desktop.hooks());
    prompter.setOwner(&window);

    // A logout or kill closes the window like the user would, so a running
    // conversion stops Ghostscript and removes its work folder.
    velmora::TerminationSignals termination;
    QObject::connect(&termination, &velmora::TerminationSignals::received, &window,
                     [&window] { window.close(); });

    window.show();
    // Files and folders handed over by the desktop ("Open with") arrive as if
    // dropped, under the hourglass.
    QStringList opened;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        opened.append(QFileInfo(argument).absoluteFilePath());
    }
    if (!opened.isEmpty()) {
        QTimer::singleShot(0, &window,
                           [&window, opened] { window.listControls().openWith(opened); });
    }
    return QApplication::exec();
}
