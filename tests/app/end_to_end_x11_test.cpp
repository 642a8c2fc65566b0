// Velmora as a new user meets it: a fresh home and settings, the real window
// and message boxes on a real X server, driven with the mouse.
#include "app/file_list_controls.h"
#include "app/main_window.h"
#include "app/qt_prompter.h"
#include "app/run_control.h"
#include "app/settings_store.h"
#include "support/box_closer.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::BoxCloser;

namespace {

class NewUser : public ::testing::Test {
protected:
    NewUser() {
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());
        qputenv("TMPDIR", temp.path().toUtf8());
    }
    // The program as it starts: settings from the fresh home, files beside it.
    void openWindow() {
        settings = std::make_unique<SettingsStore>(prompter);
        window = std::make_unique<MainWindow>(
            prompter, *settings, [] { return 1; }, QCoreApplication::applicationDirPath());
        prompter.setOwner(window.get());
        window->show();
    }
    template <typename T> T* control(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }
    // Presses "Start Converting To JPG" and waits for the run to end (the
    // box closer answers its "Done." box meanwhile).
    void convert() {
        QSignalSpy finished(&window->run(), &ConversionRun::finished);
        click("PushButton2");
        ASSERT_TRUE(finished.wait(120000));
        QCoreApplication::processEvents();
    }
    QStringList pages() const {
        return QDir(out.path()).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    }
    QString file(const QString& name, const QByteArray& content) {
        return test::WriteFile(in.filePath(name), content);
    }

    QTemporaryDir home, temp, in, out;
    QtPrompter prompter;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MainWindow> window;
};

TEST_F(NewUser, LoadsTheSamplesConvertsThemAndIsToldDone) {
    openWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(settings->location().startsWith(home.path())) << "settings in the fresh home";

    {
        BoxCloser closer(QMessageBox::No); // do not open the samples' folder
        click("PushButton10");
        ASSERT_EQ(closer.seen.size(), 1);
        EXPECT_EQ(closer.seen[0].buttons, (QStringList{"Yes", "No"}));
    }
    EXPECT_EQ(window->fileList().count(), 4);

    QTest::mouseClick(control<QRadioButton>("Option1"), Qt::LeftButton);
    control<QLineEdit>("Text1")->setText(out.path());
    {
        BoxCloser closer(QMessageBox::Ok);
        convert();
        ASSERT_EQ(closer.seen.size(), 1);
        EXPECT_EQ(closer.seen[0].text, QStringLiteral("Done."));
        EXPECT_EQ(closer.seen[0].title, QStringLiteral("Velmora"));
    }
    EXPECT_EQ(pages(), (QStringList{"brochure-001.jpg", "brochure-002.jpg", "brochure-003.jpg",
                                    "colours-001.jpg", "drawing-001.jpg", "letter-001.jpg"}));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
}

TEST_F(NewUser, HostileFilesAreNamedAndTheRestStillConverts) {
    openWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    const QByteArray page = "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n72 72 moveto 300 300 "
                            "lineto stroke showpage\n%%EOF\n";
    const QStringList dropped{
        file(QStringLiteral("empty.ps"), {}),
        file(QStringLiteral("noise.ps"), QByteArray(3000, '\x9b')),
        file(QStringLiteral("$(rm -rf ~); \"quoted\" 'name'.ps"), page),
        file(QStringLiteral("страница"), page),
    };
    window->listControls().addDroppedPaths(dropped);
    ASSERT_EQ(window->fileList().count(), 4);
    QTest::mouseClick(control<QRadioButton>("Option1"), Qt::LeftButton);
    control<QLineEdit>("Text1")->setText(out.path());
    BoxCloser closer(QMessageBox::Ok);
    convert();

    ASSERT_EQ(closer.seen.size(), 1);
    const QStringList lines = closer.seen[0].text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << qPrintable(closer.seen[0].text);
    EXPECT_EQ(closer.seen[0].icon, QMessageBox::Warning) << "files failed";
    EXPECT_EQ(lines[0], QStringLiteral("Done."));
    EXPECT_EQ(lines[1], dropped[0] + QStringLiteral(": empty file"));
    EXPECT_TRUE(lines[2].startsWith(dropped[1] + QStringLiteral(": not a PostScript or PDF file "
                                                                "(Ghostscript: Error: ")))
        << qPrintable(lines[2]);
    EXPECT_EQ(pages(), (QStringList{"$(rm -rf ~); \"quoted\" 'name'-001.jpg", "страница-001.jpg"}));
    EXPECT_TRUE(QDir(home.path()).exists());
}

} // namespace
