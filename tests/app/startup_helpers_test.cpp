// What the window's start-up uses that needs no window: the desktop folder,
// whether a path is there, and the hand pointer's cursor file.
#include "app/cursor_file.h"
#include "app/startup_helpers.h"
#include "base/failure.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

TEST(StartupHelpers, TheDesktopFolderIsThereWithAClosingSeparator) {
    const QString desktop = GetDesktopFolder();
    EXPECT_TRUE(desktop.endsWith(QDir::separator())) << qPrintable(desktop);
    EXPECT_TRUE(QDir(desktop).exists()) << qPrintable(desktop);
    QTemporaryDir dir;
    EXPECT_TRUE(PathExists(test::WriteFile(dir.filePath("a.ps"), {})));
    EXPECT_TRUE(PathExists(dir.path()));
    EXPECT_FALSE(PathExists(dir.filePath("missing")));
    EXPECT_FALSE(PathExists(QString()));
}

TEST(CursorFile, TheShippedHandPointsWithItsFingertip) {
    const QString path = QCoreApplication::applicationDirPath() + "/HAND-M.CUR";
    EXPECT_EQ(CursorHotSpot(test::ReadFile(path)), QPoint(11, 0));
    const QCursor cursor = LoadCursorFile(path);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(11, 0));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
}

TEST(CursorFile, WhatIsNoCursorIsRefused) {
    QByteArray icon(22, '\0');
    icon[2] = 1; // an icon with one picture, not a cursor
    icon[4] = 1;
    for (const QByteArray& file : {QByteArray(), QByteArray(22, '\0'), icon}) {
        EXPECT_EQ(CursorHotSpot(file), std::nullopt) << file.size();
    }
    QTemporaryDir dir;
    try {
        LoadCursorFile(test::WriteFile(dir.filePath("HAND-M.CUR"), "not a picture at all"));
        ADD_FAILURE() << "a text file loaded as a cursor";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), 481);
    }
}
