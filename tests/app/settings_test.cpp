// The store of the user's choices: where it lives, every write on the disk
// at once, folder names with commas, a store that cannot be written, and how
// its texts become the slider's quality and the options' choice.
#include "app/settings_store.h"
#include "app/settings_values.h"
#include "base/failure.h"
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
    EXPECT_EQ(test::ReadFile(ini), "[Velmora]\nJPGQuality=75\n") << "on the disk at once";
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

// A folder with commas comes back as it was, written by the store or by hand
// without quotes (which an INI reader takes for a list), also with the key
// in another section before.
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
            const SettingsStore byHand(prompter, ini);
            EXPECT_EQ(byHand.GetSetting("Output Folder") + '|' + byHand.GetSetting("JPGQuality"),
                      QString(folder) + "|80");
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
    for (const char* quality : {"80", "81"}) {
        store.SaveSetting("JPGQuality", quality);
    }
    EXPECT_TRUE(store.writeFailed());
    EXPECT_EQ(store.GetSetting("JPGQuality"), "81");
    ASSERT_EQ(prompter.boxes.size(), 1) << "told once, not at every keystroke";
    EXPECT_TRUE(prompter.boxes[0].text.contains(blocker)) << qPrintable(prompter.boxes[0].text);
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(prompter.boxes[0].title, "") << "the application's title";
}

struct Row {
    const char* stored;
    const char* read; // the value, or the number of the failure thrown
    const char* reason;
};

template <typename Reader> QString readWith(Reader reader, const char* stored) {
    try {
        return QVariant(reader(QString::fromUtf8(stored))).toString();
    } catch (const Failure& failure) {
        return "Failure " + QString::number(failure.number());
    }
}

TEST(SettingsValues, QualityIsTheLeadingNumberRoundedHalfToEven) {
    const Row rows[] = {
        {"80abc", "80", "letters after the number are left out"},
        {"abc", "0", "no leading number reads as 0"},
        {"50.5", "50", "a half goes to the even neighbour below"},
        {"51.5", "52", "or above"},
        {"50.51", "51", "more than a half rounds up"},
        {"100.5", "100", "a half above 100 rounds back to the even 100, which is in"},
        {"  42", "42", "leading blanks are skipped"},
        {"+7", "7", "an explicit sign"},
        {"-0.4", "0", "a small negative rounds to zero"},
        {".5", "0", "a fraction alone is a number; its half goes to 0"},
        {"1e2", "100", "an exponent is part of the number"},
        {"2e", "2", "an exponent without digits is not"},
        {"1,5", "1", "the comma is no decimal mark in the store"},
        {"100.6", "Failure 380", "rounds to 101, outside the slider"},
        {"-1", "Failure 380", "below the slider"},
        {"1e400", "Failure 380", "too large for a number: out of range, not a crash"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(readWith(QualityFromText, row.stored), row.read) << row.reason;
    }
}

TEST(SettingsValues, ChoicesAreTruthWordsInAnyCaseOrNumbers) {
    const Row rows[] = {
        {"tRUE", "true", "any letter case"},
        {"FALSE", "false", "any letter case"},
        {" False ", "false", "blanks around the word"},
        {"1", "true", "the first option's default as stored text"},
        {"0", "false", "the second's"},
        {"-1", "true", "any number other than 0"},
        {"0.0", "false", "zero written with a fraction"},
        {"", "Failure 13", "an empty text"},
        {"1abc", "Failure 13", "a number followed by letters"},
        {"Truely", "Failure 13", "a longer word"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(readWith(TruthFromText, row.stored), row.read) << row.reason;
    }
    EXPECT_EQ(TruthText(true) + TruthText(false), "TrueFalse") << "as they are stored";
}

} // namespace
