// The real window on a real X server, with the real Prompter's message boxes.
#include "app/main_window.h"
#include "app/qt_prompter.h"
#include "app/settings_store.h"
#include "app/startup_helpers.h"
#include "support/box_closer.h"
#include "support/qstring_printer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace velmora;
using velmora::test::BoxCloser;
using velmora::test::SeenBox;

namespace {} // namespace

TEST(MainWindowOnX11, RealWindowWithARealErrorBox) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QTemporaryDir config;
    const QString ini = config.filePath(QStringLiteral("Dravik.ini"));
    {
        QSettings earlier(ini, QSettings::IniFormat);
        earlier.setValue(QStringLiteral("Velmora/Option1"), QStringLiteral("maybe"));
    }
    QtPrompter prompter;
    SettingsStore store(prompter, ini);
    BoxCloser closer(QMessageBox::Ok);
    MainWindow form(
        prompter, store, [] { return 1; }, QCoreApplication::applicationDirPath());
    prompter.setOwner(&form);

    ASSERT_EQ(closer.seen.size(), 1) << "the load error was shown and closed";
    const SeenBox& box = closer.seen.front();
    EXPECT_EQ(box.title, QStringLiteral("Application Error"));
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(box.text.startsWith(QStringLiteral(
        "Type mismatch\nin Velmora2021/08/31.Form1.Form_Load at line 142\n\nPlease email")))
        << "classic line breaks are shown as line breaks";

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmora"));
    EXPECT_EQ(form.size(), QSize(536, 504));
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_LE((form.geometry().center() - screen.center()).manhattanLength(), 60)
        << "opens centred";

    // The captions fit on the real screen too.
    for (QPushButton* button : form.findChildren<QPushButton*>()) {
        const QString family = QFontInfo(button->font()).family();
        EXPECT_TRUE(family == QLatin1String("Arial") || family == QLatin1String("Liberation Sans"))
            << family.toStdString();
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width())
            << button->objectName().toStdString();
    }

    // The hand over a button, the arrow back over the background.
    auto* start = form.findChild<QPushButton*>(QStringLiteral("PushButton2"));
    QTest::mouseMove(start, start->rect().center());
    QTRY_COMPARE(form.windowPointer(), PointerState::Custom);
    EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor) << "our own hand picture";
    QTest::mouseMove(&form, QPoint(268, 180));
    QTRY_COMPARE(form.windowPointer(), PointerState::Default);

    bool closed = false;
    QObject::connect(&form, &MainWindow::closed, [&] { closed = true; });
    form.close();
    EXPECT_TRUE(closed);
}

TEST(MainWindowOnX11, QuestionsAnswerYesOrNo) {
    SetApplicationTitle();
    QtPrompter prompter;
    {
        BoxCloser closer(QMessageBox::Yes);
        EXPECT_EQ(
            prompter.message(QStringLiteral("Open the folder?"), {}, Prompter::Buttons::YesNo),
            Prompter::Answer::Yes);
        ASSERT_EQ(closer.seen.size(), 1);
        EXPECT_EQ(closer.seen.front().title, QStringLiteral("Velmora")) << "the application title";
        EXPECT_EQ(closer.seen.front().icon, QMessageBox::NoIcon);
        EXPECT_EQ(closer.seen.front().buttons,
                  (QStringList{QStringLiteral("Yes"), QStringLiteral("No")}));
    }
    {
        BoxCloser closer(QMessageBox::No);
        EXPECT_EQ(
            prompter.message(QStringLiteral("Open the folder?"), {}, Prompter::Buttons::YesNo),
            Prompter::Answer::No);
    }
    {
        BoxCloser closer(QMessageBox::Ok);
        EXPECT_EQ(prompter.message(QStringLiteral("Done.")), Prompter::Answer::Ok);
        ASSERT_EQ(closer.seen.size(), 1);
        EXPECT_EQ(closer.seen.front().text, QStringLiteral("Done."));
        EXPECT_TRUE(closer.seen.front().details.isEmpty());
    }
    {
        BoxCloser closer(QMessageBox::Ok);
        prompter.message(QStringLiteral("Done.\n\nand 30 more"), {}, Prompter::Buttons::Ok,
                         Prompter::Icon::None, QStringLiteral("a.ps\nb.ps"));
        ASSERT_EQ(closer.seen.size(), 1);
        EXPECT_EQ(closer.seen.front().details, QStringLiteral("a.ps\nb.ps"))
            << "the long list unfolds below a box that fits the screen";
    }
}

struct OpenFolderRow {
    const char* reason;
    std::function<void(QMessageBox&)> answer;
    Prompter::Answer expected;
};

class OpenFolderBox : public ::testing::TestWithParam<OpenFolderRow> {};

TEST_P(OpenFolderBox, OkStaysTheDefaultBesideOpenFolder) {
    QtPrompter prompter;
    BoxCloser closer(GetParam().answer);
    EXPECT_EQ(prompter.message(QStringLiteral("Done."), {}, Prompter::Buttons::OkOpenFolder),
              GetParam().expected);
    ASSERT_EQ(closer.seen.size(), 1);
    EXPECT_EQ(closer.seen.front().text, QStringLiteral("Done.")) << "the text is unchanged";
    EXPECT_EQ(closer.seen.front().buttons.size(), 2);
    EXPECT_TRUE(closer.seen.front().buttons.contains(QStringLiteral("OK")));
    EXPECT_TRUE(closer.seen.front().buttons.contains(QStringLiteral("Open Folder")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OpenFolderBox,
    ::testing::Values(OpenFolderRow{"Enter presses OK, not Open Folder",
                                    [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); },
                                    Prompter::Answer::Ok},
                      OpenFolderRow{"Esc closes the box as OK did when it stood alone",
                                    [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
                                    Prompter::Answer::Ok},
                      OpenFolderRow{"the second button",
                                    [](QMessageBox& box) {
                                        for (QAbstractButton* button : box.buttons()) {
                                            if (button->text() == QtPrompter::openFolderText()) {
                                                QTest::mouseClick(button, Qt::LeftButton);
                                            }
                                        }
                                    },
                                    Prompter::Answer::OpenFolder}));
