#pragma once

// Shared set-up of the window tests: a MainWindow over a scripted Prompter, a
// settings file of its own and recorders for the desktop's services, and
// helpers to look at what reached the disk.

#include "app/main_window.h"
#include "app/run_control.h"
#include "app/settings_store.h"
#include "support/qstring_printer.h"
#include "support/recording_notifier.h"
#include "support/recording_prompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

namespace velmora::test {

class WindowFixture : public ::testing::Test {
protected:
    QString iniFile() const { return m_configDir.filePath(QStringLiteral("Dravik.ini")); }

    // A value left by an earlier run of the program.
    void storeBefore(const QString& key, const QString& value) {
        QSettings writer(iniFile(), QSettings::IniFormat);
        writer.setValue(QStringLiteral("Velmora/") + key, value);
        writer.sync();
    }

    // What the settings file on disk holds for a key (nullopt: missing). Read
    // from a copy, so no cache of this process can answer instead of the disk.
    std::optional<QString> onDisk(const QString& key) const {
        const QString copy =
            m_configDir.filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + ".ini");
        if (!QFile::copy(iniFile(), copy)) {
            return std::nullopt;
        }
        std::optional<QString> value;
        {
            QSettings reader(copy, QSettings::IniFormat);
            const QVariant stored = reader.value(QStringLiteral("Velmora/") + key);
            if (stored.isValid()) {
                value = stored.toString();
            }
        }
        QFile::remove(copy);
        return value;
    }

    MainWindow& open(const QString& programFolder = QCoreApplication::applicationDirPath(),
                     int homePageDraw = 1) {
        m_store = std::make_unique<SettingsStore>(prompter, iniFile());
        window = std::make_unique<MainWindow>(
            prompter, *m_store, [homePageDraw] { return homePageDraw; }, programFolder, desktop);
        return *window;
    }

    // Opens the window, lists `source`, sends the pages into `into` (beside
    // the source when empty), starts, runs `meanwhile` right after the
    // click, and waits for the run's end.
    void convert(const QString& source, const QString& into = {},
                 const std::function<void()>& meanwhile = {}) {
        open().fileList().append(source);
        control<QRadioButton>(into.isEmpty() ? "Option2" : "Option1")->setChecked(true);
        control<QLineEdit>("Text1")->setText(into);
        QSignalSpy finished(&window->run(), &ConversionRun::finished);
        QTest::mouseClick(control<QPushButton>("PushButton2"), Qt::LeftButton);
        if (meanwhile) {
            meanwhile();
        }
        ASSERT_TRUE(finished.wait(60000));
    }

    template <typename T> T* control(const char* name) const {
        T* widget = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void TearDown() override {
        window.reset();
        m_store.reset();
    }

    RecordingPrompter prompter;
    RecordingNotifier notifier;
    // The folders the window asked the file manager to open.
    QStringList openedFolders;
    // Whether the desktop can open them.
    bool openerWorks = true;
    // How long every run lasts by the window's clock.
    std::chrono::milliseconds runLength{0};
    // Whether the user counts as being at the window.
    bool windowActive = false;
    // What open() gives the window; a test may change it before.
    DesktopHooks desktop{&notifier,
                         nullptr,
                         [this](const QString& folder, const std::function<void()>& failed) {
                             openedFolders.append(folder);
                             if (!openerWorks) {
                                 failed();
                             }
                         },
                         // Each reading is runLength after the one before:
                         // a run's start and end are one reading apart.
                         [this] { return m_now += runLength; },
                         [this] { return windowActive; },
                         {}};
    std::unique_ptr<MainWindow> window;

private:
    std::chrono::steady_clock::time_point m_now;
    QTemporaryDir m_configDir;
    std::unique_ptr<SettingsStore> m_store;
};

} // namespace velmora::test
