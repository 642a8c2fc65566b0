#include "app/cursor_file.h"
#include "app/startup_helpers.h"
#include "base/failure.h"
#include "support/qstring_printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

TEST(StartupHelpers, DesktopFolderEndsWithASeparatorAndExists) {
    const QString desktop = GetDesktopFolder();
    EXPECT_TRUE(desktop.endsWith(QDir::separator())) << desktop.toStdString();
    EXPECT_TRUE(QDir(desktop).exists()) << desktop.toStdString();
}

TEST(StartupHelpers, PathExistsForFilesAndFoldersOnly) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("a.ps")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(PathExists(file.fileName()));
    EXPECT_TRUE(PathExists(dir.path()));
    EXPECT_FALSE(PathExists(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(PathExists(QString()));
}

TEST(CursorFile, TheShippedHandHasItsHotSpotAtTheFingertip) {
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/HAND-M.CUR");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "HAND-M.CUR is installed beside the program";
    const auto hot = CursorHotSpot(file.readAll());
    ASSERT_TRUE(hot.has_value());
    EXPECT_EQ(*hot, QPoint(11, 0));
    const QCursor cursor = LoadCursorFile(path);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(11, 0));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
}

TEST(CursorFile, RefusesWhatIsNoCursor) {
    EXPECT_FALSE(CursorHotSpot(QByteArray()).has_value());
    EXPECT_FALSE(CursorHotSpot(QByteArray(22, '\0')).has_value()) << "type 0 is no cursor";
    QByteArray icon(22, '\0');
    icon[2] = 1; // an icon, not a cursor
    icon[4] = 1;
    EXPECT_FALSE(CursorHotSpot(icon).has_value());

    QTemporaryDir dir;
    QFile junk(dir.filePath(QStringLiteral("HAND-M.CUR")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture at all");
    junk.close();
    try {
        LoadCursorFile(junk.fileName());
        ADD_FAILURE() << "a text file loaded as a cursor";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), 481);
    }
}
