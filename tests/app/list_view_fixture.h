// Shared set-up of the file list tests: a shown list view with its controls over scripted boxes.
#pragma once

#include "app/file_list_controls.h"
#include "app/settings_store.h"
#include "app/window_pointer.h"
#include "filelist/file_list.h"
#include "support/fake_event_pump.h"
#include "support/recording_prompter.h"
#include "support/temp_tree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace velmora::test {

// A window with one list view set up as the main window sets up its list,
// the controls watching it, and helpers that click, drag and fill it. The
// program folder holds our drag pointer picture; files for the commands to
// find go into `tree`.
class ListViewFixture : public ::testing::Test {
protected:
    QTemporaryDir temp;
    TempTree tree;
    RecordingPrompter prompter;
    SettingsStore settings{prompter, temp.filePath(QStringLiteral("settings.ini"))};
    QWidget window;
    QTreeView* view = new QTreeView(&window);
    FileList files;
    WindowPointer pointer{window};
    FakeEventPump pump{true}; // lets events run like the real pump
    QStringList opened;
    QString program = temp.filePath(QStringLiteral("program"));
    FileListControls controls{*view,
                              files,
                              prompter,
                              settings,
                              pointer,
                              pump,
                              program,
                              [this](const QString& folder, const std::function<void()>&) {
            opened.append(folder); }};

    void SetUp() override {
        controls.setYieldIntervalMs(0); // let events run at every folder
        ASSERT_TRUE(QDir().mkpath(program));
        // Our own drag pointer picture, installed beside the test programs.
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/drag.ico"),
                    program + QStringLiteral("/drag.ico"));
        view->setModel(&files);
        view->setRootIsDecorated(false);
        view->setUniformRowHeights(true);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setGeometry(0, 0, 400, 200);
        window.resize(400, 200);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { view->setModel(nullptr); }

    QWidget* viewport() const { return view->viewport(); }
    QPoint rowPoint(int row) const { return view->visualRect(files.index(row)).center(); }
    // A point on the row inside the viewport, also for a half-shown row.
    QPoint visiblePoint(int row) const {
        const QRect shown = view->visualRect(files.index(row)) & viewport()->rect();
        return shown.center();
    }
    template <typename Predicate> bool waitFor(Predicate done) {
        for (int i = 0; i < 200 && !done(); ++i) {
            QTest::qWait(10);
        }
        return done();
    }
    QPoint belowRows() const { return QPoint(20, viewport()->height() - 3); }
    void fill(const QStringList& rows) { files.append(rows); }
    int selectedRow() const {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }
    void click(int row) { QTest::mouseClick(viewport(), Qt::LeftButton, {}, rowPoint(row)); }
    void doubleClick(QPoint at) {
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at);
    }
    // Press on `from`, move over each row of `over` in turn, release there.
    void dragRow(int from, const std::vector<int>& over) {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, rowPoint(from));
        QPoint at = rowPoint(from);
        for (const int row : over) {
            at = rowPoint(row);
            QTest::mouseMove(viewport(), at);
        }
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at);
    }
    void touch(const QString& rel) const { tree.touch(rel); }
    QString at(const QString& rel) const { return tree.path(rel); }
};

} // namespace velmora::test
