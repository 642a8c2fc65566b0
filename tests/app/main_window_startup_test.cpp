// The window as it starts: what it restores from the settings file and
// reports when a stored value is bad, the home page now and then, and what
// lies beside the program: the hand pointer's picture and the optional skin.
#include "app/startup_helpers.h"
#include "app/window_fixture.h"
#include "base/error_trap.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

using namespace velmora;

namespace {

using MainWindowStartup = test::WindowFixture;

QString loadError(int line) {
    return ErrorTrap::reportText(line == 138   ? "Invalid property value"
                                 : line == 104 ? "Invalid picture"
                                               : "Type mismatch",
                                 ErrorTrap::locationPrefix() + "Form1.Form_Load", line);
}

// How stored texts read is settings_values' table; here, what the window
// makes of them: both options' keys, their order, and where a bad one is told.
TEST_F(MainWindowStartup, StoredChoicesAreRestoredAndBadOnesReported) {
    const QString desktop = GetDesktopFolder();
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tree.path().toLocal8Bit());
    const struct {
        const char* before; // stored by an earlier run, "key=value,..."
        const char* shows;  // the window's choices, the desktop folder in the box
        const char* after;  // on disk once started; "~": the desktop folder
        int errorLine;      // 0: no box
        const char* reason;
    } rows[] = {
        {"", "into|on|JPG Quality = 75", "Output Folder=~,JPGQuality=75,Option1,Option2", 0,
         "the first time: the defaults; the options are stored once clicked"},
        {"Option2=True", "beside|off|JPG Quality = 75", "Option1=False,Option2=True", 0,
         "selecting an option runs its click: both keys are written"},
        {"Option1=True,Option2=True", "beside|off|JPG Quality = 75", "Option1=False,Option2=True",
         0, "both true: assigned in order, the second wins"},
        {"Option1=False,Option2=False", "none|off|JPG Quality = 75", "Option1=False,Option2=False",
         0, "both false: none selected, nothing is converted"},
        {"Option1=maybe", "into|on|JPG Quality = 75", "Option1=maybe", 142,
         "a bad first option is reported and keeps its state"},
        {"Option2=yes", "into|on|JPG Quality = 75", "Option2=yes", 144, "the second, its line"},
        {"JPGQuality=80abc", "into|on|JPG Quality = 80", "JPGQuality=80", 0,
         "a quality the slider takes is shown and written back as it reads"},
        {"JPGQuality=101", "into|on|JPG Quality = 0", "JPGQuality=101", 138,
         "the slider refuses it and stays where it was; the caption still follows it"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        prompter.boxes.clear();
        close();
        QFile::remove(iniFile());
        storeBefore(row.before);
        open();
        EXPECT_EQ(shows(), row.shows + ('|' + desktop) + "|Progress Bar 0|arrow");
        const QString after = QString(row.after).replace('~', desktop);
        EXPECT_EQ(stored(after), after);
        EXPECT_EQ(prompter.messageTexts(),
                  row.errorLine == 0 ? QStringList{} : QStringList{loadError(row.errorLine)});
    }
    qputenv("TMPDIR", tmp);
    EXPECT_EQ(window->run().settings().tempFolder, tree.path()) << "work folders go below TMPDIR";
    EXPECT_EQ(window->windowTitle() + '|' + ApplicationTitle(), "Velmora|Velmora");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(list()->model()->headerData(0, Qt::Horizontal).toString(), "PS File(s)");
}

// Catches what the program hands to the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler("https", this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("https"); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST_F(MainWindowStartup, TheHomePageOpensOnlyOnTheLuckyDraw) {
    for (const int draw : {1, MainWindow::kHomePageDraw, 100}) {
        UrlCatcher catcher;
        open(QCoreApplication::applicationDirPath(), draw);
        EXPECT_EQ(catcher.opened.size(), draw == MainWindow::kHomePageDraw ? 1 : 0) << draw;
        EXPECT_EQ(catcher.opened.value(0, QUrl(HomePageAddress())), QUrl(HomePageAddress()));
    }
}

// The pointer's hand is our picture when it lies beside the program, else
// Qt's; a damaged one is reported and the start goes on. A skin there gives
// the window and its frames the system's button face.
TEST_F(MainWindowStartup, WhatLiesBesideTheProgramShapesTheWindow) {
    const QString program = tree.path("program");
    const struct {
        const char* file; // below the program folder
        QByteArray content;
        Qt::CursorShape hand;
        bool skinned;
        int errorLine;
    } rows[] = {
        {"nothing", {}, Qt::PointingHandCursor, false, 0},
        {"HAND-M.CUR", test::ReadFile(QCoreApplication::applicationDirPath() + "/HAND-M.CUR"),
         Qt::BitmapCursor, false, 0},
        {"HAND-M.CUR", "not a cursor", Qt::PointingHandCursor, false, 104},
        {"x/o.cjs", "QPushButton { color: #123456; }", Qt::PointingHandCursor, true, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        prompter.boxes.clear();
        QDir(program).removeRecursively();
        tree.touch(QStringLiteral("program/") + row.file, row.content);
        MainWindow& form = open(program);
        form.pointer().set(PointerState::Custom);
        EXPECT_EQ(form.cursor().shape(), row.hand);
        EXPECT_EQ(prompter.messageTexts(),
                  row.errorLine == 0 ? QStringList{} : QStringList{loadError(row.errorLine)});
        EXPECT_EQ(form.windowTitle(), "Velmora") << "the start went on";
        const QColor face =
            row.skinned ? QApplication::palette().color(QPalette::Button) : QColor(Qt::white);
        for (const char* name : {"Form1", "Frame1", "Frame3", "Frame4", "Label2", "Option2"}) {
            const QWidget* widget = QLatin1String(name) == "Form1" ? &form : control(name);
            EXPECT_EQ(widget->palette().color(QPalette::Window), face) << name;
        }
        EXPECT_EQ(control("Text1")->palette().color(QPalette::Base),
                  QApplication::palette().color(QPalette::Base))
            << "the folder box keeps its colours";
        EXPECT_EQ(form.styleSheet(), QString::fromUtf8(row.skinned ? row.content : ""));
    }
}

} // namespace

#include "main_window_startup_test.moc"
