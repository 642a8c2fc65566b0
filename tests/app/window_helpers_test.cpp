// What the window uses that needs no window: the store of the user's
// choices and how its texts are read, the title, the desktop folder, the hand
// pointer's cursor file, the folder picker and the taskbar button's bar.
#include "app/cursor_file.h"
#include "app/folder_browser.h"
#include "app/settings_store.h"
#include "app/settings_values.h"
#include "app/startup_helpers.h"
#include "app/taskbar_progress.h"
#include "base/failure.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"
#include "support/recording_taskbar_button.h"
#include "support/test_files.h"
#include "support/text.h"

#include <QCoreApplication>
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

TEST(StartupHelpers, TheApplicationTitleLosesWordsFromItsEnd) {
    const struct {
        const char* name;
        const char* title;
        const char* reason;
    } rows[] = {
        {"Velmora", "Velmora", "a single word keeps it"},
        {"Alpha Beta Gamma Delta", "Alpha Beta Gamma", "a short name loses exactly its last word"},
        {"Velmora PostScript to JPEG Converter for the Desktop Edition",
         "Velmora PostScript to JPEG Converter for", "until 40 characters or fewer; 40 stays"},
        {"Averyveryveryveryveryveryveryverylongsingleword",
         "Averyveryveryveryveryveryveryverylongsingleword", "the title is never empty"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ApplicationTitleFor(row.name), row.title) << row.reason;
    }
}

TEST(StartupHelpers, TheDesktopFolderIsThereWithAClosingSeparator) {
    const QString desktop = GetDesktopFolder();
    EXPECT_TRUE(desktop.endsWith(QDir::separator()) && QDir(desktop).exists())
        << qPrintable(desktop);
    QTemporaryDir dir;
    const QString file = test::WriteFile(dir.filePath("a.ps"), {});
    for (const QString& path : {file, dir.path(), dir.filePath("missing"), QString()}) {
        EXPECT_EQ(PathExists(path), path == file || path == dir.path()) << qPrintable(path);
    }
}

TEST(CursorFile, TheShippedHandPointsWithItsFingertipAndWhatIsNoCursorIsRefused) {
    const QString hand = QCoreApplication::applicationDirPath() + "/HAND-M.CUR";
    EXPECT_EQ(CursorHotSpot(test::ReadFile(hand)), QPoint(11, 0));
    const QCursor cursor = LoadCursorFile(hand);
    EXPECT_EQ(cursor.hotSpot(), QPoint(11, 0));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
    QByteArray icon(22, '\0');
    icon[2] = 1; // an icon with one picture, not a cursor
    icon[4] = 1;
    for (const QByteArray& file : {QByteArray(), QByteArray(22, '\0'), icon}) {
        EXPECT_EQ(CursorHotSpot(file), std::nullopt) << file.size();
    }
    QTemporaryDir dir;
    EXPECT_THROW(LoadCursorFile(test::WriteFile(dir.filePath("HAND-M.CUR"), "not a picture")),
                 Failure);
}

// Where it opens and the cancel are seen by "Add All" in the window's tests.
TEST(FolderBrowser, OpensAtAStartFolderThatIsThereAndGivesATidyAbsolutePath) {
    QTemporaryDir dir;
    const struct {
        QString start, opensAt, picked, gives;
        const char* reason;
    } rows[] = {
        {dir.filePath("gone"), "", dir.path() + "/", dir.path(), "a vanished start is no error"},
        {"", "", "/", "/", "the root keeps its separator"},
        {"", "", dir.path() + "/./x/..", dir.path(), "the path is tidied"},
    };
    for (const auto& row : rows) {
        RecordingPrompter prompter;
        prompter.folderAnswers.push_back(row.picked);
        EXPECT_EQ(BrowseForFolder(prompter, "Please select folder:", row.start), row.gives)
            << row.reason;
        EXPECT_EQ(prompter.boxes.value(0).title + '|' + prompter.boxes.value(0).preset,
                  "Please select folder:|" + row.opensAt)
            << row.reason;
    }
}

// What the run tells the bar, one step a word: a number shows that fraction,
// "failed" is a failed file, "hide" the run's end, "refuse" and "accept"
// make the button refuse or take the calls that follow; and what the button
// took of it, until the bar went with the program.
TEST(TaskbarProgress, TheButtonIsToldOnlyOfChanges) {
    const struct {
        const char* steps;
        const char* calls;
        const char* reason;
    } rows[] = {
        {"0,0.5,1,hide", "Normal,0/1000,500/1000,1000/1000,None",
         "normal while converting, none at the end"},
        {"0,0.2,failed,0.6,failed,hide", "Normal,0/1000,200/1000,Error,600/1000,None",
         "the error colour from the first failed file on"},
        {"0,failed,hide,0,hide", "Normal,0/1000,Error,None,Normal,0/1000,None",
         "the next run starts in the normal colour"},
        {"0.5,0.5,0.5004", "Normal,500/1000,None", "no call without a change"},
        {"-1,2,nan", "Normal,0/1000,1000/1000,0/1000,None", "out-of-range values are bounded"},
        {"failed,hide", "", "a failure with no bar shows none"},
        {"refuse,0,0.1,accept,0.1,0.2", "Normal,100/1000,200/1000,None",
         "a refused call is made again with the next change"},
    };
    for (const auto& row : rows) {
        test::RecordingTaskbarButton button;
        {
            TaskbarProgress bar(button);
            for (const QString& step : test::split(row.steps)) {
                if (step == "failed") {
                    bar.fileFailed();
                } else if (step == "hide") {
                    bar.hide();
                } else if (step == "refuse" || step == "accept") {
                    button.refusing = step == "refuse";
                } else {
                    bar.show(step.toDouble()); // "nan" reads as a number that is none
                }
            }
            button.refusing = false;
        }
        EXPECT_EQ(button.calls, test::split(row.calls)) << row.reason;
    }
}

} // namespace
