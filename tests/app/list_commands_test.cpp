// The file list's commands: its four buttons, removing rows, and files handed over at start-up.

#include "app/list_view_fixture.h"
#include "app/window_pointer.h"
#include "base/failure.h"
#include "base/problem.h"
#include "base/prompter.h"
#include "filelist/dialog_rows.h"
#include "filelist/file_list.h"
#include "support/qstring_printer.h"
#include "support/text.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace velmora;
using test::split;

namespace {

using ListCommandsTest = test::ListViewFixture;

// --- Removing ---------------------------------------------------------------

TEST_F(ListCommandsTest, DeleteRemovesTheSelectedRowWithAnyModifiers) {
    fill(split("A,B,C,D"));
    click(1);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(files.rows(), split("A,C,D"));
    click(1);
    QTest::keyClick(view, Qt::Key_Delete, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(files.rows(), split("A,D"));
    click(0);
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(files.rows(), split("A,D"));
    EXPECT_TRUE(prompter.boxes.isEmpty()) << "no questions asked";
}

TEST_F(ListCommandsTest, DoubleClickRemovesTheSelectedRowWhereverItLands) {
    fill(split("A,B,C"));
    doubleClick(rowPoint(1));
    EXPECT_EQ(files.rows(), split("A,C"));
    click(0);
    doubleClick(belowRows());
    EXPECT_EQ(files.rows(), split("C"));
    EXPECT_EQ(selectedRow(), 0) << "the view selects the next row; a Delete goes on";
}

TEST_F(ListCommandsTest, NothingIsRemovedWithoutASelection) {
    doubleClick(belowRows());
    QTest::keyClick(view, Qt::Key_Delete);
    controls.clearList();
    fill(split("A,B"));
    view->selectionModel()->clear();
    QTest::keyClick(view, Qt::Key_Delete);
    controls.commands().removeSelectedRow();
    EXPECT_EQ(files.rows(), split("A,B"));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ListCommandsTest, NothingIsRemovedWhileBusy) {
    fill(split("A,B,C"));
    click(1);
    {
        const WindowPointer::BusyScope busy(pointer);
        QTest::keyClick(view, Qt::Key_Delete);
        doubleClick(rowPoint(1));
        controls.clearList();
        EXPECT_EQ(files.rows(), split("A,B,C"));
    }
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(files.rows(), split("A,C"));
    controls.clearList();
    EXPECT_EQ(files.count(), 0);
}

// --- Adding by dialog -------------------------------------------------------

TEST_F(ListCommandsTest, AddFilesShowsTheDialogAndAppendsItsRows) {
    fill(split("/x/old.ps"));
    prompter.fileAnswers = {
        {QStringLiteral("/d//one.ps")}, {QStringLiteral("/d/b.ps"), QStringLiteral("/d/a.ps")}, {}};
    controls.addFiles();
    controls.addFiles();
    controls.addFiles(); // cancelled
    EXPECT_EQ(files.rows(), (QStringList{"/x/old.ps", "/d//one.ps", "/d/b.ps", "/d/a.ps"}));
    ASSERT_EQ(prompter.boxes.size(), 3);
    EXPECT_EQ(prompter.boxes[0].title,
              QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files"));
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("PS Files (*.ps)"));
    EXPECT_EQ(prompter.boxes[0].preset, QString()) << "no start folder";
}

TEST_F(ListCommandsTest, TooManyFilesAreRefusedWithAMessage) {
    // The folder "/d", 2,998 names of 9 characters and one of 18:
    // 2 + 2,998 x 10 + 19 = 30,001 characters, one over the room.
    QStringList over;
    for (int i = 0; i < 2999; ++i) {
        over.append(QStringLiteral("/d/%1.ps").arg(i, 6, 10, QLatin1Char('0')));
    }
    over.last() = QStringLiteral("/d/999999999999999.ps");
    ASSERT_EQ(SelectionNameLength(over), kMaxFileSize + 1);
    QStringList under = over;
    under.last() = QStringLiteral("/d/99999999999999.ps");
    ASSERT_EQ(SelectionNameLength(under), kMaxFileSize);

    prompter.fileAnswers = {over, under};
    controls.addFiles();
    EXPECT_EQ(files.count(), 0);
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("You've selected too many files to add.\r\rPlease try "
                                         "adding via the \"Add All\" button.")});
    EXPECT_EQ(prompter.boxes.last().title, QString()) << "the application title";
    controls.addFiles();
    EXPECT_EQ(files.count(), 2999);
    EXPECT_EQ(prompter.messageTexts().size(), 1);
}

// --- Add All ----------------------------------------------------------------

TEST_F(ListCommandsTest, AddAllAsksForTheExtensionAndTheFolder) {
    touch(QStringLiteral("F/a.ps"));
    touch(QStringLiteral("F/b.PS"));
    touch(QStringLiteral("F/c.txt"));
    touch(QStringLiteral("F/S1/d.ps"));
    prompter.textAnswers = {QStringLiteral("ps"), QStringLiteral("ps")};
    prompter.folderAnswers = {at("F"), at("F")};
    int busyYields = 0;
    pump.hook = [&](int) {
        busyYields += pointer.state() == WindowPointer::Busy;
        controls.clearList(); // refused while busy
    };
    fill(split("/x/old.ps"));
    controls.addFolder();
    controls.addFolder();
    const QStringList once{at("F/a.ps"), at("F/b.PS"), at("F/S1/d.ps")};
    EXPECT_EQ(files.rows(), QStringList{"/x/old.ps"} + once + once);
    EXPECT_GT(busyYields, 0) << "the hourglass shows during the walk";
    EXPECT_EQ(pointer.state(), WindowPointer::Default);
    ASSERT_GE(prompter.boxes.size(), 2);
    EXPECT_EQ(prompter.boxes[0].kind, QStringLiteral("askText"));
    EXPECT_EQ(prompter.boxes[0].text,
              QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt "
                             "files, doc for all doc files, etc.)"));
    EXPECT_EQ(prompter.boxes[0].title, QString());
    EXPECT_EQ(prompter.boxes[0].preset, QStringLiteral("ps"));
    EXPECT_EQ(prompter.boxes[1].title, QStringLiteral("Please select folder:"));
    EXPECT_EQ(prompter.boxes[3].preset, at("F")) << "starts where the last pick was";
    EXPECT_EQ(settings.GetSetting(QStringLiteral("LastFolder")), at("F"));
    EXPECT_TRUE(prompter.messageTexts().isEmpty());
}

TEST_F(ListCommandsTest, TheExtensionIsRememberedEvenWhenNoFolderIsPicked) {
    prompter.textAnswers = {QStringLiteral("txt"), std::nullopt, QStringLiteral("")};
    controls.addFolder(); // folder pick cancelled
    controls.addFolder(); // prompt cancelled
    controls.addFolder(); // empty answer
    ASSERT_EQ(prompter.boxes.size(), 4);
    EXPECT_EQ(prompter.boxes[2].preset, QStringLiteral("txt"));
    EXPECT_EQ(prompter.boxes[3].preset, QStringLiteral("txt"));
    EXPECT_EQ(settings.GetSetting(QStringLiteral("Extension")), QStringLiteral("txt"));
    EXPECT_EQ(files.count(), 0);
    EXPECT_EQ(pointer.state(), WindowPointer::Default);
}

TEST_F(ListCommandsTest, AddAllLeavesAnotherOperationsHourglassAlone) {
    touch(QStringLiteral("F/a.ps"));
    prompter.textAnswers = {QStringLiteral("*")};
    prompter.folderAnswers = {at("F")};
    std::optional<WindowPointer::BusyScope> converting(std::in_place, pointer);
    controls.addFolder();
    EXPECT_EQ(files.rows(), QStringList{at("F/a.ps")});
    EXPECT_EQ(pointer.state(), WindowPointer::Busy);
    converting.reset();
    EXPECT_EQ(pointer.state(), WindowPointer::Default) << "the last one out takes it away";
}

TEST_F(ListCommandsTest, OpenWithAFolderShowsTheHourglassAndGuardsTheList) {
    touch(QStringLiteral("F/S1/b.ps"));
    touch(QStringLiteral("single.ps"));
    fill(split("/x/old.ps"));
    int busyYields = 0;
    pump.hook = [&](int) {
        busyYields += pointer.state() == WindowPointer::Busy;
        controls.clearList(); // refused while busy
    };
    controls.openWith({at("F"), at("single.ps")});
    EXPECT_EQ(files.rows(), (QStringList{"/x/old.ps", at("F/S1/b.ps"), at("single.ps")}));
    EXPECT_GT(busyYields, 0) << "the hourglass shows during the walk";
    EXPECT_EQ(pointer.state(), WindowPointer::Default);
}

// --- Samples ----------------------------------------------------------------

TEST_F(ListCommandsTest, SamplesAreAddedOnceAndTheQuestionIsAlwaysAsked) {
    const QString samples = program + QStringLiteral("/Samples");
    ASSERT_TRUE(QDir().mkpath(samples));
    for (const char* name : {"one.ps", ".hidden.ps"}) {
        QFile file(samples + QLatin1Char('/') + QString::fromUtf8(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    prompter.answers = {Prompter::Answer::No, Prompter::Answer::Yes};
    controls.loadSamples();
    controls.loadSamples();
    EXPECT_EQ(files.rows(), (QStringList{samples + "/.hidden.ps", samples + "/one.ps"}));
    const QString question = QStringLiteral(
        "Would you like this software to open the folder where these sample files are stored "
        "(so that you can view them before working with them)?");
    EXPECT_EQ(prompter.messageTexts(), (QStringList{question, question}));
    EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.boxes[0].icon, Prompter::Icon::None);
    EXPECT_EQ(opened, QStringList{samples}) << "only the Yes opens the folder";
}

TEST_F(ListCommandsTest, WithoutASamplesFolderNothingIsAddedButTheQuestionIsAsked) {
    prompter.answers = {Prompter::Answer::Yes};
    controls.loadSamples();
    EXPECT_EQ(files.count(), 0);
    ASSERT_EQ(prompter.messageTexts().size(), 1);
    EXPECT_EQ(opened, QStringList{program + QStringLiteral("/Samples")});
}

// --- Where failures are reported -------------------------------------------

// Dialogs and questions that fail, as on a desktop whose portal is broken;
// the error boxes are kept as values. The extension prompt answers "ps"
// unless told to fail too.
class FailingPrompter : public Prompter {
public:
    void problem(const Problem& problem) override { problems.append(problem); }
    Answer message(const QString&, const QString&, Buttons, Icon, const QString&) override {
        throw Failure(QStringLiteral("no message box"));
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override {
        if (failPrompt) {
            throw Failure(QStringLiteral("no prompt"));
        }
        return QStringLiteral("ps");
    }
    QStringList pickFiles(const QString&, const QString&, const QString&) override {
        throw Failure(QStringLiteral("no file dialog"));
    }
    QString pickFolder(const QString&, const QString&) override { return folder; }

    bool failPrompt = false;
    QString folder;
    QList<Problem> problems;
};

// Users quote the box's location and step when they mail us; each command
// keeps its own, whatever its code is called.
TEST_F(ListCommandsTest, EachCommandNamesItsOwnLocationAndStepInTheErrorBox) {
    touch(QStringLiteral("F/a.ps"));
    const struct {
        const char* reason;
        bool failPrompt;
        bool failWalk;
        std::function<void(FileListControls&)> act;
        const char* location;
        int line;
    } rows[] = {
        {"Add PS File(s): the dialog", false, false, [](FileListControls& c) { c.addFiles(); },
         "Velmora2021/08/31.Form1.PushButton1_Click", 112},
        {"Add All: the extension prompt", true, false, [](FileListControls& c) { c.addFolder(); },
         "Velmora2021/08/31.Form1.PushButton4_Click", 100},
        {"Add All: the walk", false, true, [](FileListControls& c) { c.addFolder(); },
         "Velmora2021/08/31.Form1.PushButton4_Click", 118},
        {"Load Sample/Example Files: the question", false, false,
         [](FileListControls& c) { c.loadSamples(); }, "Velmora2021/08/31.Form1.PushButton10_Click",
         100},
        {"a dropped folder's walk", false, true,
         [this](FileListControls& c) { c.addDroppedPaths({at("F")}); },
         "Velmora2021/08/31.Form1.ListView1_OLEDragDrop", 100},
        {"a folder handed over at start-up: as if dropped", false, true,
         [this](FileListControls& c) { c.openWith({at("F")}); },
         "Velmora2021/08/31.Form1.ListView1_OLEDragDrop", 100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        FailingPrompter failing;
        failing.failPrompt = row.failPrompt;
        failing.folder = at("F");
        pump.hook = [&row](int) {
            if (row.failWalk) {
                throw Failure(QStringLiteral("the walk broke"));
            }
        };
        QTreeView otherView;
        FileList otherFiles;
        otherView.setModel(&otherFiles);
        {
            FileListControls failingControls(otherView, otherFiles, failing, settings, pointer,
                                             pump, program, {});
            failingControls.setYieldIntervalMs(0);
            row.act(failingControls);
        }
        otherView.setModel(nullptr);
        pump.hook = nullptr;
        ASSERT_FALSE(failing.problems.isEmpty());
        // A walk's own folders report under the walk's name first; the
        // command's box comes last.
        EXPECT_EQ(failing.problems.last().location, QString::fromUtf8(row.location));
        EXPECT_EQ(failing.problems.last().line, row.line);
        EXPECT_EQ(pointer.state(), WindowPointer::Default) << "the hourglass goes again";
    }
}

} // namespace
