#include "app/settings_values.h"
#include "app/skin.h"
#include "app/startup_helpers.h"
#include "app/text_progress_bar.h"
#include "app/window_fixture.h"
#include "base/error_trap.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTreeView>
#include <QUrl>

#include <optional>

using namespace velmora;
using velmora::test::WindowFixture;

namespace {

// Catches what the program hands to the desktop's browser.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

QString loadError(const QString& description, int line) {
    return ErrorTrap::reportText(
        description, ErrorTrap::locationPrefix() + QStringLiteral("Form1.Form_Load"), line);
}

class MainWindowStartup : public WindowFixture {};

} // namespace

TEST_F(MainWindowStartup, FirstRunWithNothingStored) {
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/var//tmp/");
    MainWindow& form = open();
    qputenv("TMPDIR", oldTmp);

    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(ApplicationTitle(), QStringLiteral("Velmora"));
    EXPECT_FALSE(form.windowIcon().isNull());

    auto* list = control<QTreeView>("ListView1");
    ASSERT_NE(list->model(), nullptr);
    EXPECT_EQ(list->model()->columnCount(), 1);
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("PS File(s)"));
    EXPECT_EQ(list->columnWidth(0), 518) << "the list's width inside its frame";

    EXPECT_EQ(control<QLineEdit>("Text1")->text(), GetDesktopFolder());
    EXPECT_TRUE(control<QLineEdit>("Text1")->text().endsWith(QDir::separator()));
    EXPECT_EQ(control<QSlider>("Slider1")->value(), 75);
    EXPECT_EQ(control<QGroupBox>("Frame3")->title(), QStringLiteral("JPG Quality = 75"));
    EXPECT_TRUE(control<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("Option2")->isChecked());
    EXPECT_TRUE(control<QGroupBox>("Frame4")->isEnabled());
    EXPECT_EQ(control<TextProgressBar>("ProgressBar1")->text(), QStringLiteral("Progress Bar"));
    EXPECT_EQ(form.windowPointer(), PointerState::Default);
    EXPECT_EQ(form.run().settings().tempFolder, QStringLiteral("/var/tmp"));
    EXPECT_EQ(form.run().settings().programFolder, QCoreApplication::applicationDirPath());

    // The change handlers wrote the two assigned values back; the options
    // appear only after a click.
    EXPECT_EQ(onDisk(QStringLiteral("Output Folder")), GetDesktopFolder());
    EXPECT_EQ(onDisk(QStringLiteral("JPGQuality")), QStringLiteral("75"));
    EXPECT_EQ(onDisk(QStringLiteral("Option1")), std::nullopt);
    EXPECT_EQ(onDisk(QStringLiteral("Option2")), std::nullopt);
    EXPECT_EQ(onDisk(QStringLiteral("LastFolderDot")), std::nullopt);
}

TEST_F(MainWindowStartup, StoredOptionsAreRestored) {
    const struct {
        std::optional<QString> intoFolder, besideSource;
        bool selected1, selected2;
        std::optional<QString> after1, after2; // on disk once loaded
        int errorLine;                         // 0: no report
        const char* reason;
    } rows[] = {
        {std::nullopt, QStringLiteral("True"), false, true, QStringLiteral("False"),
         QStringLiteral("True"), 0, "selecting Option2 runs its click: both keys written"},
        {QStringLiteral("False"), QStringLiteral("True"), false, true, QStringLiteral("False"),
         QStringLiteral("True"), 0, "the usual stored pair for the second choice"},
        {QStringLiteral("True"), QStringLiteral("True"), false, true, QStringLiteral("False"),
         QStringLiteral("True"), 0, "both true: assigned in order, the second wins"},
        {QStringLiteral("False"), QStringLiteral("False"), false, false, QStringLiteral("False"),
         QStringLiteral("False"), 0, "both false: neither selected, nothing rewritten"},
        {QStringLiteral("TRUE"), QStringLiteral("false"), true, false, QStringLiteral("TRUE"),
         QStringLiteral("false"), 0, "any letter case; no change, so no click"},
        {QStringLiteral("0"), QStringLiteral("-1"), false, true, QStringLiteral("False"),
         QStringLiteral("True"), 0, "numbers stand for truth values"},
        {QStringLiteral("maybe"), std::nullopt, true, false, QStringLiteral("maybe"), std::nullopt,
         142, "a bad Option1 is reported and the option keeps its state"},
        {std::nullopt, QStringLiteral("yes"), true, false, std::nullopt, QStringLiteral("yes"), 144,
         "a bad Option2 is reported with its own line"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        TearDown();
        prompter.boxes.clear();
        QFile::remove(iniFile());
        if (row.intoFolder) {
            storeBefore(QStringLiteral("Option1"), *row.intoFolder);
        }
        if (row.besideSource) {
            storeBefore(QStringLiteral("Option2"), *row.besideSource);
        }
        open();
        EXPECT_EQ(control<QRadioButton>("Option1")->isChecked(), row.selected1);
        EXPECT_EQ(control<QRadioButton>("Option2")->isChecked(), row.selected2);
        EXPECT_EQ(control<QGroupBox>("Frame4")->isEnabled(), row.selected1)
            << "the folder row follows Option1";
        EXPECT_EQ(onDisk(QStringLiteral("Option1")), row.after1);
        EXPECT_EQ(onDisk(QStringLiteral("Option2")), row.after2);
        if (row.errorLine == 0) {
            EXPECT_TRUE(prompter.boxes.isEmpty());
        } else {
            ASSERT_EQ(prompter.boxes.size(), 1);
            EXPECT_EQ(prompter.boxes.front().text,
                      loadError(QStringLiteral("Type mismatch"), row.errorLine));
            EXPECT_EQ(prompter.boxes.front().title, QStringLiteral("Application Error"));
            EXPECT_EQ(prompter.boxes.front().icon, Prompter::Icon::Exclamation);
        }
    }
}

TEST_F(MainWindowStartup, StoredQualityIsParsedOrReported) {
    const struct {
        const char* stored;
        int slider;
        const char* after; // on disk once loaded
        bool reported;
        const char* reason;
    } rows[] = {
        {"80abc", 80, "80", false, "the leading number; the change handler rewrites it"},
        {"50.5", 50, "50", false, "a half goes to the even neighbour"},
        {"51.5", 52, "52", false, "a half goes to the even neighbour"},
        {"abc", 0, "abc", false, "no number is 0, the slider's own position: no change"},
        {"101", 0, "101", true, "the slider refuses it; it stays where it was"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        TearDown();
        prompter.boxes.clear();
        QFile::remove(iniFile());
        storeBefore(QStringLiteral("JPGQuality"), QString::fromLatin1(row.stored));
        open();
        EXPECT_EQ(control<QSlider>("Slider1")->value(), row.slider);
        EXPECT_EQ(control<QGroupBox>("Frame3")->title(),
                  QStringLiteral("JPG Quality = ") + QString::number(row.slider));
        EXPECT_EQ(onDisk(QStringLiteral("JPGQuality")), QString::fromLatin1(row.after));
        if (row.reported) {
            ASSERT_EQ(prompter.boxes.size(), 1);
            EXPECT_EQ(prompter.boxes.front().text,
                      loadError(QStringLiteral("Invalid property value"), 138));
        } else {
            EXPECT_TRUE(prompter.boxes.isEmpty());
        }
    }
}

TEST_F(MainWindowStartup, AnEmptyStoredFolderStaysEmpty) {
    storeBefore(QStringLiteral("Output Folder"), QString());
    open();
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QString())
        << "the desktop default applies only to a missing key";
}

TEST_F(MainWindowStartup, HomePageOnlyOnTheLuckyDraw) {
    for (int draw : {1, 6, 8, 100}) {
        UrlCatcher catcher;
        TearDown();
        open(QCoreApplication::applicationDirPath(), draw);
        EXPECT_TRUE(catcher.opened.isEmpty()) << draw;
    }
    UrlCatcher catcher;
    TearDown();
    open(QCoreApplication::applicationDirPath(), MainWindow::kHomePageDraw);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front(), QUrl(HomePageAddress()));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(MainWindowStartup, HandPointerPicture) {
    QTemporaryDir program;
    // No picture: nothing reported, the hand comes from Qt.
    MainWindow& bare = open(program.path());
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_FALSE(bare.pointer().hasCustomCursor());
    bare.pointer().set(PointerState::Custom);
    EXPECT_EQ(bare.cursor().shape(), Qt::PointingHandCursor);

    // Our picture beside the program.
    TearDown();
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/HAND-M.CUR"),
                            program.filePath(QStringLiteral("HAND-M.CUR"))));
    MainWindow& handed = open(program.path());
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(handed.windowPointer(), PointerState::Default) << "the hand shows only when hovering";
    handed.pointer().set(PointerState::Custom);
    EXPECT_EQ(handed.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(handed.cursor().hotSpot(), QPoint(11, 0));

    // A damaged picture is reported with its line; start-up goes on.
    TearDown();
    QFile junk(program.filePath(QStringLiteral("HAND-M.CUR")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("not a cursor");
    junk.close();
    MainWindow& damaged = open(program.path());
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes.front().text, loadError(QStringLiteral("Invalid picture"), 104));
    EXPECT_EQ(damaged.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(control<QSlider>("Slider1")->value(), 75);
}

TEST_F(MainWindowStartup, OptionalSkin) {
    QTemporaryDir program;
    MainWindow& plain = open(program.path());
    EXPECT_EQ(plain.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(control<QGroupBox>("Frame1")->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(plain.styleSheet().isEmpty());

    TearDown();
    ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("x")));
    const QByteArray sheet = "QPushButton { color: #123456; }";
    QFile skin(SkinPath(program.path()));
    ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
    skin.write(sheet);
    skin.close();
    MainWindow& skinned = open(program.path());
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(skinned.palette().color(QPalette::Window), face);
    for (const char* name :
         {"Frame1", "Frame3", "Frame4", "Label2", "Label3", "Option1", "Option2"}) {
        EXPECT_EQ(control<QWidget>(name)->palette().color(QPalette::Window), face) << name;
    }
    EXPECT_EQ(control<QWidget>("Text1")->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Base))
        << "the text box keeps its colours";
    EXPECT_EQ(skinned.styleSheet(), QString::fromUtf8(sheet));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

#include "main_window_startup_test.moc"
