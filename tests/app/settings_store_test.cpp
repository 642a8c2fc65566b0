// The store of the user's choices: where it lives, every write on the disk
// at once, folder names with commas, and a store that cannot be written.
#include "app/settings_store.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/test_files.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::RecordingPrompter;

namespace {

// QSettings reads XDG_CONFIG_HOME once, at its first use in the process, so
// the user's store of this test program is put in a private folder before
// main() runs.
struct PrivateConfigHome {
    QTemporaryDir dir;
    PrivateConfigHome() { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
} configHome;

TEST(SettingsStore, TheUsersStoreIsDravikIniInTheConfigFolder) {
    RecordingPrompter prompter;
    SettingsStore store(prompter);
    store.SaveSetting("JPGQuality", "75");
    const QString ini = configHome.dir.filePath("Dravik/Dravik.ini");
    EXPECT_EQ(QDir::cleanPath(store.location()), ini);
    EXPECT_EQ(test::ReadFile(ini), "[Velmora]\nJPGQuality=75\n");
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

// Each write is on the disk when it returns, so the next start after an
// abrupt end sees it; a folder with commas comes back as it was, written by
// the store or by hand without quotes (which an INI reader takes for a
// list), also with the key in another section before.
TEST(SettingsStore, WhatIsWrittenComesBackAsItWas) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Dravik.ini");
    RecordingPrompter prompter;
    SettingsStore store(prompter, ini);
    EXPECT_EQ(store.GetSetting("Extension", "ps") + '|' + store.GetSetting("LastFolder"), "ps|");
    for (const char* folder :
         {"/home/ann/Out/", "", "/a, b/c;d=e\"f\\g/", "  spaced  ", "/x/a, b ,c/", "/x/a,,b,"}) {
        store.SaveSetting("Output Folder", folder);
        EXPECT_EQ(QSettings(ini, QSettings::IniFormat).value("Velmora/Output Folder").toString(),
                  folder);
        EXPECT_EQ(store.GetSetting("Output Folder", "default"), folder) << "also an empty one";
        if (QString(folder).contains(',')) {
            test::WriteFile(ini, "[Other]\nOutput%20Folder=x,y\n[Velmora]\nOutput%20Folder=" +
                                     QByteArray(folder) + "\nJPGQuality=80\n");
            const SettingsStore handEdited(prompter, ini);
            EXPECT_EQ(handEdited.GetSetting("Output Folder"), folder) << "by hand: " << folder;
            EXPECT_EQ(handEdited.GetSetting("JPGQuality"), "80");
        }
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST(SettingsStore, AStoreThatCannotBeWrittenIsToldOnceAndRemembersTheSession) {
    QTemporaryDir dir;
    // A plain file where the store's folder should be: nothing can be made
    // below it, whoever runs the test.
    const QString blocker = test::WriteFile(dir.filePath("Dravik"), {});
    RecordingPrompter prompter;
    SettingsStore store(prompter, blocker + "/Dravik.ini");
    store.SaveSetting("JPGQuality", "80");
    store.SaveSetting("JPGQuality", "81");
    store.SaveSetting("Option1", "True");
    EXPECT_TRUE(store.writeFailed());
    ASSERT_EQ(prompter.boxes.size(), 1) << "told once, not at every keystroke";
    EXPECT_TRUE(prompter.boxes[0].text.contains(blocker)) << qPrintable(prompter.boxes[0].text);
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(prompter.boxes[0].title, "") << "the application's title";
    EXPECT_EQ(store.GetSetting("JPGQuality"), "81");
}

} // namespace
