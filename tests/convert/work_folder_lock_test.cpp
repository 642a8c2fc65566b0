#include "convert/work_folder_lock.h"
#include "convert/work_layout.h"
#include "support/qstring_printer.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace velmora;

// A starting run sweeps only the user's own work folders of runs that are gone.
TEST(WorkFolderLock, OnlyWhatDeadRunsLeftIsRemoved) {
    QTemporaryDir temp;
    QTemporaryDir elsewhere;
    const auto runFolder = [](const QString& folder) {
        test::WriteFile(folder + QStringLiteral("/file-1/pdf/current.ps"), "a user's document");
        return folder;
    };
    const auto made = [&](const char* name) { return runFolder(temp.filePath(name)); };
    WorkFolderLock::take(made("velmora-dead01")); // a killed run's: its lock is free
    const auto living = WorkFolderLock::take(made("velmora-alive1"));
    made("velmora-start1");                       // made and not yet locked: its run starts
    WorkFolderLock::take(made("not-velmora-01")); // another program's
    const QString target = runFolder(elsewhere.filePath("velmora-target")); // a dead run's
    WorkFolderLock::take(target);
    QStringList kept = {"not-velmora-01", "velmora-alive1", "velmora-start1"};
    bool gaveAway = true;
#ifndef Q_OS_WIN // Windows' temp folder is the user's own, and a link there a shortcut file
    constexpr uid_t kNobody = 65534;
    const uid_t otherUser = ::geteuid() == kNobody ? 0 : kNobody;
    WorkFolderLock::take(made("velmora-other1"));
    // Only root, as CI runs, can give a folder to another user.
    const QByteArray other = QFile::encodeName(temp.filePath("velmora-other1"));
    gaveAway = ::chown(other.constData(), otherUser, otherUser) == 0;
    // A link named like a work folder, to a dead run's folder elsewhere.
    ASSERT_TRUE(QFile::link(target, temp.filePath("velmora-link01")));
    kept << "velmora-link01";
    if (gaveAway) {
        kept << "velmora-other1";
    }
    kept.sort();
#endif

    RemoveAbandonedWorkFolders(temp.path());

    EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              kept);
    EXPECT_TRUE(QFileInfo::exists(WorkLayout::lockFile(temp.filePath("velmora-alive1"))))
        << "a living run keeps its lock";
    EXPECT_TRUE(QFileInfo::exists(target)) << "a link is no work folder: what it leads to stays";
    if (!gaveAway) {
        GTEST_SKIP() << "needs root to give a folder to another user";
    }
}
