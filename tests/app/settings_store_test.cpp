#include "app/settings_store.h"
#include "support/qstring_printer.h"
#include "support/recording_prompter.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::RecordingPrompter;

namespace {

// QSettings reads XDG_CONFIG_HOME once, at its first use in the process, so
// the per-user store of this test executable is pointed at a private folder
// before main() runs.
struct PrivateConfigHome {
    QTemporaryDir dir;
    PrivateConfigHome() { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
};
PrivateConfigHome configHome;

QString readBack(const QString& iniFile, const QString& key) {
    QSettings reader(iniFile, QSettings::IniFormat);
    return reader.value(QStringLiteral("Velmora/") + key).toString();
}

} // namespace

TEST(SettingsStore, UserStoreIsDravikIniInTheConfigFolder) {
    RecordingPrompter prompter;
    SettingsStore store(prompter);
    store.SaveSetting(QStringLiteral("JPGQuality"), QStringLiteral("75"));

    const QString expected = configHome.dir.filePath(QStringLiteral("Dravik/Dravik.ini"));
    EXPECT_EQ(QDir::cleanPath(store.location()), QDir::cleanPath(expected));
    QFile file(expected);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("[Velmora]"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("JPGQuality=75"))) << text.toStdString();
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST(SettingsStore, MissingKeysGiveTheDefaultAndWritesReachTheDiskAtOnce) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Dravik.ini"));
    RecordingPrompter prompter;
    SettingsStore store(prompter, ini);

    EXPECT_EQ(store.GetSetting(QStringLiteral("Extension"), QStringLiteral("ps")),
              QStringLiteral("ps"));
    EXPECT_EQ(store.GetSetting(QStringLiteral("LastFolder")), QString());

    // Each write is on disk before SaveSetting returns: a second reader (or
    // the next start after an abrupt end) sees it without any further step.
    const QStringList values = {QStringLiteral("/home/ann/Out/"), QString(),
                                QStringLiteral("/a, b/c;d=e\"f\\g/"), QStringLiteral("  spaced  ")};
    for (const QString& value : values) {
        store.SaveSetting(QStringLiteral("Output Folder"), value);
        EXPECT_EQ(readBack(ini, QStringLiteral("Output Folder")), value);
        EXPECT_EQ(store.GetSetting(QStringLiteral("Output Folder"), QStringLiteral("default")),
                  value)
            << "an empty stored text is a value, not a missing key";
    }
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST(SettingsStore, HandEditedValuesReadAsText) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Dravik.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
    file.write("[Velmora]\nOption1=tRUE\nOutput%20Folder=/tmp/a, b/\nJPGQuality=80abc\n");
    file.close();
    RecordingPrompter prompter;
    SettingsStore store(prompter, ini);
    EXPECT_EQ(store.GetSetting(QStringLiteral("Option1")), QStringLiteral("tRUE"));
    EXPECT_EQ(store.GetSetting(QStringLiteral("JPGQuality")), QStringLiteral("80abc"));
    EXPECT_EQ(store.GetSetting(QStringLiteral("Output Folder")), QStringLiteral("/tmp/a, b/"));
}

struct CommaRow {
    const char* reason;
    const char* folder;
};

class CommaFolder : public ::testing::TestWithParam<CommaRow> {};

TEST_P(CommaFolder, ComesBackAsWrittenByTheStoreOrByHand) {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Dravik.ini"));
    const QString key = QStringLiteral("Output Folder");
    const QString folder = QString::fromUtf8(GetParam().folder);
    RecordingPrompter prompter;
    SettingsStore(prompter, ini).SaveSetting(key, folder);
    EXPECT_EQ(SettingsStore(prompter, ini).GetSetting(key), folder) << "written by the store";

    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
    file.write("[Other]\nOutput%20Folder=elsewhere,x\n[Velmora]\nOutput%20Folder=" +
               folder.toUtf8() + "\nJPGQuality=80\n");
    file.close();
    SettingsStore handEdited(prompter, ini);
    EXPECT_EQ(handEdited.GetSetting(key), folder) << "edited by hand, without quotes";
    EXPECT_EQ(handEdited.GetSetting(QStringLiteral("JPGQuality")), QStringLiteral("80"));
}

INSTANTIATE_TEST_SUITE_P(Rows, CommaFolder,
                         ::testing::Values(CommaRow{"one comma", "/home/ann/a,b/"},
                                           CommaRow{"blanks around commas are kept", "/x/a, b ,c/"},
                                           CommaRow{"doubled and closing commas", "/x/a,,b,"},
                                           CommaRow{"a name with a comma and a blank",
                                                    "/home/ann/Reports, 2024/"}));

TEST(SettingsStore, AStoreThatCannotBeWrittenIsReportedOnce) {
    QTemporaryDir dir;
    // A plain file where the store's folder should be: nothing can be
    // created below it, whoever runs the test.
    const QString blocker = dir.filePath(QStringLiteral("Dravik"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    RecordingPrompter prompter;
    SettingsStore store(prompter, blocker + QStringLiteral("/Dravik.ini"));

    store.SaveSetting(QStringLiteral("JPGQuality"), QStringLiteral("80"));
    store.SaveSetting(QStringLiteral("JPGQuality"), QStringLiteral("81"));
    store.SaveSetting(QStringLiteral("Option1"), QStringLiteral("True"));

    EXPECT_TRUE(store.writeFailed());
    ASSERT_EQ(prompter.boxes.size(), 1) << "told once, not at every keystroke";
    const auto& box = prompter.boxes.front();
    EXPECT_TRUE(box.text.contains(blocker)) << box.text.toStdString();
    EXPECT_EQ(box.icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(box.buttons, Prompter::Buttons::Ok);
    EXPECT_TRUE(box.title.isEmpty()) << "titled with the application title";
    // The session still remembers what the user chose.
    EXPECT_EQ(store.GetSetting(QStringLiteral("JPGQuality")), QStringLiteral("81"));
}
