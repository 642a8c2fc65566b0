#pragma once

// The window tests' one harness: a MainWindow over a scripted Prompter, with a
// settings file of its own, recorders for the desktop's services and a folder
// tree for the files a test makes.

#include "app/desktop_notifier.h"
#include "app/file_list_controls.h"
#include "app/main_window.h"
#include "app/run_control.h"
#include "app/settings_store.h"
#include "app/text_progress_bar.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/temp_tree.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace velmora::test {

// Keeps every notice, with what clicking it does.
struct RecordingNotifier : DesktopNotifier {
    void notify(const QString& title, const QString& body, std::function<void()> clicked) override {
        notices.append({title + '|' + body, std::move(clicked)});
    }
    QList<std::pair<QString, std::function<void()>>> notices;
};

class WindowFixture : public ::testing::Test {
protected:
    QString iniFile() const { return m_config.path("Dravik.ini"); }
    // Values left by an earlier run of the program: "key=value,...".
    void storeBefore(const QString& pairs) const {
        QSettings earlier(iniFile(), QSettings::IniFormat);
        for (const QString& pair : pairs.split(',', Qt::SkipEmptyParts)) {
            earlier.setValue("Velmora/" + pair.section('=', 0, 0), pair.section('=', 1));
        }
    }
    // What the settings file holds for the keys of "key=value,...", in that
    // form; a key alone where it holds none. Read from a copy, so that no
    // cache of this process answers instead of the disk.
    QString stored(const QString& pairs) const {
        const QString copy = m_config.path(QString::number(++m_copies));
        QFile::copy(iniFile(), copy);
        const QSettings disk(copy, QSettings::IniFormat);
        QStringList found;
        for (const QString& pair : pairs.split(',')) {
            const QString key = pair.section('=', 0, 0);
            const QVariant value = disk.value("Velmora/" + key);
            found.append(value.isValid() ? key + '=' + value.toString() : key);
        }
        return found.join(',');
    }
    // The window as the user sees it: the option selected, the folder row,
    // the quality frame, the folder box, the bar and the pointer
    // ("into|on|JPG Quality = 75|/out/|Progress Bar 0|arrow").
    QString shows() const {
        const OutputChoice choice = window->runControl().outputChoice();
        const auto* bar = control<TextProgressBar>("ProgressBar1");
        const PointerState pointer = window->windowPointer();
        return QStringList{choice == OutputChoice::Folder         ? "into"
                           : choice == OutputChoice::BesideSource ? "beside"
                                                                  : "none",
                           control("Frame4")->isEnabled() ? "on" : "off",
                           control<QGroupBox>("Frame3")->title(),
                           control<QLineEdit>("Text1")->text(),
                           bar->text() + ' ' + QString::number(bar->value()),
                           pointer == PointerState::Busy     ? "busy"
                           : pointer == PointerState::Custom ? "hand"
                                                             : "arrow"}
            .join('|');
    }

    MainWindow& open(const QString& programFolder = QCoreApplication::applicationDirPath(),
                     int homePageDraw = 1) {
        close();
        m_store = std::make_unique<SettingsStore>(prompter, iniFile());
        window = std::make_unique<MainWindow>(
            prompter, *m_store, [homePageDraw] { return homePageDraw; }, programFolder, desktop);
        window->listControls().setYieldIntervalMs(0); // window events run at every folder walked
        return *window;
    }
    // Opened, shown and active, for the mouse and the keyboard.
    MainWindow& shown(const QString& programFolder = QCoreApplication::applicationDirPath()) {
        open(programFolder).show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }
    void close() {
        window.reset();
        m_store.reset();
    }
    void TearDown() override { close(); }

    template <typename T = QWidget> T* control(const char* name) const {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char* button) const { QTest::mouseClick(control(button), Qt::LeftButton); }
    QTreeView* list() const { return control<QTreeView>("ListView1"); }

    RecordingPrompter prompter;
    RecordingNotifier notifier;
    TempTree tree;
    QStringList openedFolders; // what the window asked the file manager to open
    // Each reading of the window's clock is runLength after the one before:
    // a run's start and end are one reading apart.
    std::chrono::milliseconds runLength{0};
    bool windowActive = false; // whether the user counts as being at the window
    // What open() gives the window; a test may change it before.
    DesktopHooks desktop{&notifier,
                         nullptr,
                         [this](const QString& folder, const std::function<void()>&) {
                             openedFolders.append(folder);
                         },
                         [this] { return m_now += runLength; },
                         [this] { return windowActive; },
                         {}};
    std::unique_ptr<MainWindow> window;

private:
    std::chrono::steady_clock::time_point m_now;
    TempTree m_config;
    mutable int m_copies = 0;
    std::unique_ptr<SettingsStore> m_store;
};

} // namespace velmora::test
