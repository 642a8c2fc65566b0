// The window as it starts: what it restores from the settings file and
// reports when a stored value is bad, the home page now and then, and what
// lies beside the program: the hand pointer's picture and the optional skin.
// How each stored text reads is settings_values' table; here, what the
// window makes of it.
#include "app/startup_helpers.h"
#include "app/window_fixture.h"
#include "base/error_trap.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

using namespace velmora;

namespace {

using MainWindowStartup = test::WindowFixture;

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

TEST_F(MainWindowStartup, WhatItFindsShapesTheWindowAndBadValuesAreReported) {
    const QString desktop = GetDesktopFolder();
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tree.path().toLocal8Bit());
    const struct {
        const char* before; // stored by an earlier run, "key=value,..."
        const char* shows;  // the window's choices, the desktop folder in the box
        const char* after;  // on disk once started; "~": the desktop folder
        const char* error;  // the box's report, "<description> at line <n>"; none: no box
        const char* reason;
        const char* beside = ""; // the only file beside the program; none: the installed ones
        QByteArray content = {};
        int draw = 1;
    } rows[] = {
        {"", "into|on|JPG Quality = 75", "Output Folder=~,JPGQuality=75,Option1,Option2", "",
         "the first time: the defaults; the options are stored once clicked"},
        {"Option1=True,Option2=True", "beside|off|JPG Quality = 75", "Option1=False,Option2=True",
         "", "both true: assigned in order, the second wins, and its click writes both keys"},
        {"Option1=False,Option2=False", "none|off|JPG Quality = 75", "Option1=False,Option2=False",
         "", "both false: none selected, nothing is converted"},
        {"Option1=maybe", "into|on|JPG Quality = 75", "Option1=maybe", "Type mismatch at line 142",
         "a bad first option is reported and keeps its state"},
        {"Option2=yes", "into|on|JPG Quality = 75", "Option2=yes", "Type mismatch at line 144",
         "the second, its line"},
        {"JPGQuality=80abc", "into|on|JPG Quality = 80", "JPGQuality=80", "",
         "a quality the slider takes is shown and written back as it reads"},
        {"JPGQuality=101", "into|on|JPG Quality = 0", "JPGQuality=101",
         "Invalid property value at line 138",
         "the slider refuses it and stays where it was; the caption still follows it"},
        {"", "into|on|JPG Quality = 75", "", "", "no hand beside the program: Qt's", "nothing"},
        {"", "into|on|JPG Quality = 75", "", "Invalid picture at line 104",
         "a damaged hand is told, the start goes on", "HAND-M.CUR", "not a cursor"},
        {"", "into|on|JPG Quality = 75", "", "", "a skin gives the window the button face",
         "x/o.cjs", "QPushButton { color: #123456; }"},
        {"",
         "into|on|JPG Quality = 75",
         "",
         "",
         "the home page opens on the lucky draw only",
         "",
         {},
         MainWindow::kHomePageDraw},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        prompter.boxes.clear();
        close();
        QFile::remove(iniFile());
        storeBefore(row.before);
        QDir(tree.path("program")).removeRecursively();
        if (*row.beside) {
            tree.touch(QStringLiteral("program/") + row.beside, row.content);
        }
        const UrlCatcher catcher;
        MainWindow& form = open(
            *row.beside ? tree.path("program") : QCoreApplication::applicationDirPath(), row.draw);
        EXPECT_EQ(shows(), row.shows + ('|' + desktop) + "|Progress Bar 0|arrow");
        const QString after = QString(row.after).replace('~', desktop);
        EXPECT_EQ(stored(after), after);
        const QString error = row.error;
        EXPECT_EQ(prompter.messageTexts().join(""),
                  error.isEmpty()
                      ? ""
                      : ErrorTrap::reportText(error.section(" at line ", 0, 0),
                                              ErrorTrap::locationPrefix() + "Form1.Form_Load",
                                              error.section(" at line ", 1).toInt()));
        form.pointer().set(PointerState::Custom);
        EXPECT_EQ(form.cursor().shape(), *row.beside ? Qt::PointingHandCursor : Qt::BitmapCursor);
        const bool skinned = QLatin1String(row.beside) == "x/o.cjs";
        const QColor face =
            skinned ? QApplication::palette().color(QPalette::Button) : QColor(Qt::white);
        for (const char* name : {"Form1", "Frame1", "Frame3", "Frame4", "Label2", "Option2"}) {
            const QWidget* widget = QLatin1String(name) == "Form1" ? &form : control(name);
            EXPECT_EQ(widget->palette().color(QPalette::Window), face) << name;
        }
        EXPECT_EQ(control("Text1")->palette().color(QPalette::Active, QPalette::Base),
                  QApplication::palette().color(QPalette::Active, QPalette::Base))
            << "the folder box keeps its colours";
        EXPECT_EQ(form.styleSheet(), QString::fromUtf8(skinned ? row.content : ""));
        EXPECT_EQ(catcher.opened, row.draw == MainWindow::kHomePageDraw
                                      ? QList{QUrl(HomePageAddress())}
                                      : QList<QUrl>{});
    }
    qputenv("TMPDIR", tmp);
    EXPECT_EQ(window->run().settings().tempFolder, tree.path()) << "work folders go below TMPDIR";
    EXPECT_EQ(window->windowTitle() + '|' + ApplicationTitle(), "Velmora|Velmora");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(list()->model()->headerData(0, Qt::Horizontal).toString(), "PS File(s)");
}

} // namespace

#include "main_window_startup_test.moc"
