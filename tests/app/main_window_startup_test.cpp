// The window as it starts: what it restores from the settings file and
// reports when a stored value is bad, the home page now and then, and what
// lies beside the program: the hand pointer's picture and the optional skin.
#include "app/skin.h"
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

QString loadError(const char* description, int line) {
    return ErrorTrap::reportText(description, ErrorTrap::locationPrefix() + "Form1.Form_Load",
                                 line);
}

TEST_F(MainWindowStartup, StoredChoicesAreRestoredAndBadOnesReported) {
    const QString desktop = GetDesktopFolder();
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tree.path().toLocal8Bit());
    const struct {
        const char* before; // stored by an earlier run, "key=value,..."
        const char* shows;  // the window's choices; "~": the desktop folder
        const char* after;  // on disk once started
        int errorLine;      // 0: no box
        const char* reason;
    } rows[] = {
        {"", "into|on|JPG Quality = 75|~",
         "Output Folder=~,JPGQuality=75,Option1,Option2,LastFolderDot", 0,
         "the first time: the defaults; the options are stored once clicked"},
        {"Option2=True", "beside|off|JPG Quality = 75|~", "Option1=False,Option2=True", 0,
         "selecting an option runs its click: both keys are written"},
        {"Option1=True,Option2=True", "beside|off|JPG Quality = 75|~", "Option1=False,Option2=True",
         0, "both true: assigned in order, the second wins"},
        {"Option1=False,Option2=False", "none|off|JPG Quality = 75|~",
         "Option1=False,Option2=False", 0, "both false: none selected, nothing is converted"},
        {"Option1=TRUE,Option2=false", "into|on|JPG Quality = 75|~", "Option1=TRUE,Option2=false",
         0, "any letter case; no change, so no rewrite"},
        {"Option1=maybe", "into|on|JPG Quality = 75|~", "Option1=maybe", 142,
         "a bad first option is reported and keeps its state"},
        {"Option2=yes", "into|on|JPG Quality = 75|~", "Option2=yes", 144, "the second, its line"},
        {"JPGQuality=80abc", "into|on|JPG Quality = 80|~", "JPGQuality=80", 0,
         "the leading number, written back"},
        {"JPGQuality=abc", "into|on|JPG Quality = 0|~", "JPGQuality=abc", 0,
         "no number is 0, where the slider is: no change, no rewrite"},
        {"JPGQuality=101", "into|on|JPG Quality = 0|~", "JPGQuality=101", 138,
         "the slider refuses it and stays where it was"},
        {"Output Folder=", "into|on|JPG Quality = 75|", "Output Folder=", 0,
         "an empty folder stays: the desktop is for a missing key"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        prompter.boxes.clear();
        close();
        QFile::remove(iniFile());
        storeBefore(row.before);
        open();
        EXPECT_EQ(shows(), QString(row.shows).replace('~', desktop) + "|Progress Bar 0|arrow");
        const QString after = QString(row.after).replace('~', desktop);
        EXPECT_EQ(stored(after), after);
        const char* description = row.errorLine == 138 ? "Invalid property value" : "Type mismatch";
        EXPECT_EQ(prompter.messageTexts(),
                  row.errorLine == 0 ? QStringList{}
                                     : QStringList{loadError(description, row.errorLine)});
    }
    qputenv("TMPDIR", tmp);
    EXPECT_EQ(window->run().settings().tempFolder, tree.path()) << "work folders go below TMPDIR";
    EXPECT_EQ(window->windowTitle() + '|' + ApplicationTitle(), "Velmora|Velmora");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(list()->model()->headerData(0, Qt::Horizontal).toString(), "PS File(s)");
    EXPECT_EQ(list()->columnWidth(0), list()->width() - 2 * list()->frameWidth())
        << "the column fills the list inside its frame";
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
    for (const int draw : {6, 7, 8}) {
        UrlCatcher catcher;
        open(QCoreApplication::applicationDirPath(), draw);
        EXPECT_EQ(catcher.opened, draw == MainWindow::kHomePageDraw ? QList{QUrl(HomePageAddress())}
                                                                    : QList<QUrl>{})
            << draw;
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
        EXPECT_EQ(form.windowPointer(), PointerState::Default) << "the hand shows on a button";
        form.pointer().set(PointerState::Custom);
        EXPECT_EQ(form.cursor().shape(), row.hand);
        EXPECT_EQ(form.pointer().hasCustomCursor(), row.hand == Qt::BitmapCursor);
        EXPECT_EQ(prompter.messageTexts(), row.errorLine == 0
                                               ? QStringList{}
                                               : QStringList{loadError("Invalid picture", 104)});
        EXPECT_EQ(form.windowTitle(), "Velmora") << "the start went on";
        const QColor face =
            row.skinned ? QApplication::palette().color(QPalette::Button) : QColor(Qt::white);
        for (QWidget* widget : {static_cast<QWidget*>(&form), control("Frame1"), control("Frame3"),
                                control("Frame4"), control("Label2"), control("Option2")}) {
            EXPECT_EQ(widget->palette().color(QPalette::Window), face)
                << qPrintable(widget->objectName());
        }
        EXPECT_EQ(control("Text1")->palette().color(QPalette::Base),
                  QApplication::palette().color(QPalette::Base))
            << "the folder box keeps its colours";
        EXPECT_EQ(form.styleSheet(), QString::fromUtf8(row.skinned ? row.content : ""));
    }
}

} // namespace

#include "main_window_startup_test.moc"
