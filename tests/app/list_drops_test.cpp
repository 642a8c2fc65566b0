// Dropping files and folders onto the file list: copies only, rows in the order dropped.

#include "app/list_view_fixture.h"
#include "app/window_pointer.h"
#include "support/qstring_printer.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;

namespace {

using ListDropsTest = test::ListViewFixture;

QMimeData* fileDrag(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

TEST_F(ListDropsTest, ADropAddsFilesAndFoldersInTheOrderDropped) {
    touch(QStringLiteral("F/a.ps"));
    touch(QStringLiteral("F/sub/b.txt"));
    touch(QStringLiteral("single.jpg"));
    std::unique_ptr<QMimeData> data(fileDrag({at("F"), at("single.jpg")}));
    const WindowPointer::BusyScope busy(pointer); // drops are taken while busy too
    // The drop goes to the widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(waitFor([&] { return files.count() == 3; }));
    EXPECT_EQ(files.rows(), (QStringList{at("F/a.ps"), at("F/sub/b.txt"), at("single.jpg")}));

    files.clear();
    controls.addDroppedPaths({at("single.jpg"), at("F")});
    EXPECT_EQ(files.rows(), (QStringList{at("single.jpg"), at("F/a.ps"), at("F/sub/b.txt")}));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ListDropsTest, DropsAreTakenAsCopiesOnly) {
    touch(QStringLiteral("a.ps"));
    const struct {
        const char* reason;
        Qt::DropActions offered;
        Qt::KeyboardModifiers keys;
        bool taken;
    } rows[] = {
        {"a Shift-drag proposes a move: taken as a copy, so the source deletes nothing",
         Qt::CopyAction | Qt::MoveAction, Qt::ShiftModifier, true},
        {"a plain drag is a copy", Qt::CopyAction | Qt::MoveAction, Qt::NoModifier, true},
        {"a source that can only move is refused", Qt::MoveAction, Qt::NoModifier, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        files.clear();
        std::unique_ptr<QMimeData> data(fileDrag({at("a.ps")}));
        QDragEnterEvent enter(QPoint(10, 10), row.offered, data.get(), Qt::LeftButton, row.keys);
        QCoreApplication::sendEvent(viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), row.taken);
        QDropEvent drop(QPointF(10, 10), row.offered, data.get(), Qt::LeftButton, row.keys);
        if (row.keys == Qt::ShiftModifier) {
            ASSERT_EQ(drop.proposedAction(), Qt::MoveAction);
        }
        QCoreApplication::sendEvent(viewport(), &drop);
        EXPECT_EQ(drop.isAccepted(), row.taken);
        if (row.taken) {
            EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
            EXPECT_TRUE(waitFor([&] { return files.count() == 1; }));
        } else {
            QCoreApplication::processEvents();
            EXPECT_EQ(files.count(), 0);
        }
    }
}

TEST_F(ListDropsTest, DraggedTextIsRefused) {
    QMimeData text;
    text.setText(QStringLiteral("/etc/hostname"));
    QDragEnterEvent enter(rowPoint(0), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(rowPoint(0)), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &drop);
    QCoreApplication::processEvents();
    EXPECT_EQ(files.count(), 0);

    QMimeData link;
    link.setUrls({QUrl(QStringLiteral("https://example.com/a.ps"))});
    QDragEnterEvent web(QPoint(10, 10), Qt::CopyAction, &link, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &web);
    EXPECT_FALSE(web.isAccepted()) << "only files of this computer";

    std::unique_ptr<QMimeData> data(fileDrag({at("x.ps")}));
    QDragEnterEvent withFiles(rowPoint(0), Qt::CopyAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &withFiles);
    EXPECT_TRUE(withFiles.isAccepted());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(viewport(), &leave);
}

} // namespace
