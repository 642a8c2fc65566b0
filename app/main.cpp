#include "app/form1.h"
#include "app/qt_prompter.h"
#include "app/settings_store.h"
#include "app/startup_helpers.h"

#include <QApplication>
#include <QRandomGenerator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(velmora::ProductName());

    velmora::QtPrompter prompter;
    velmora::SettingsStore settings(prompter);
    velmora::Form1 window(
        prompter, settings, [] { return QRandomGenerator::global()->bounded(1, 101); },
        QCoreApplication::applicationDirPath());
    prompter.setOwner(&window);
    window.show();
    return QApplication::exec();
}
