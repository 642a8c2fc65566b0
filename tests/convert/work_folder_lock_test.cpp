#include "convert/work_folder_lock.h"
#include "convert/work_layout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace velmora;

namespace {

// What a starting run sweeps from its temp folder: only the work folders of
// runs that are gone, and only the user's own.
TEST(WorkFolderLock, OnlyWhatDeadRunsLeftIsRemoved) {
    QTemporaryDir temp;
    QTemporaryDir elsewhere;
    std::vector<std::unique_ptr<WorkFolderLock>> living;
    const auto runFolder = [&](const char* name) {
        const QString folder = temp.filePath(QLatin1String(name));
        EXPECT_TRUE(QDir().mkpath(folder + QStringLiteral("/file-1/pdf")));
        QFile copy(folder + QStringLiteral("/file-1/pdf/current.ps"));
        EXPECT_TRUE(copy.open(QIODevice::WriteOnly));
        return folder;
    };
    const struct Row {
        const char* name;
        bool removed;
        const char* why;
        void (*make)(const QString& folder, std::vector<std::unique_ptr<WorkFolderLock>>& living);
    } rows[] = {
        {"velmora-dead01", true, "a killed run's folder: its lock is free",
         [](const QString& folder, auto&) { WorkFolderLock::take(folder); }},
        {"velmora-alive1", false, "a living run's folder",
         [](const QString& folder, auto& held) { held.push_back(WorkFolderLock::take(folder)); }},
        {"velmora-start1", false, "a run that has made its folder and not yet locked it",
         [](const QString&, auto&) {}},
#ifndef Q_OS_WIN // Windows' temp folder is the user's own
        {"velmora-other1", false, "another user's folder",
         [](const QString& folder, auto&) {
             WorkFolderLock::take(folder);
             ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0)
                 << "needs root, as CI has";
         }},
#endif
        {"not-velmora-01", false, "another program's folder",
         [](const QString& folder, auto&) { WorkFolderLock::take(folder); }},
    };
    for (const Row& row : rows) {
        row.make(runFolder(row.name), living);
    }
#ifndef Q_OS_WIN // a link here is a shortcut file there
    // A link named like a work folder, to a dead run's folder elsewhere.
    const QString target = elsewhere.filePath(QStringLiteral("velmora-target"));
    ASSERT_TRUE(QDir().mkpath(target));
    WorkFolderLock::take(target);
    ASSERT_TRUE(QFile::link(target, temp.filePath(QStringLiteral("velmora-link01"))));
#endif

    RemoveAbandonedWorkFolders(temp.path());

    for (const Row& row : rows) {
        EXPECT_EQ(QFileInfo::exists(temp.filePath(QLatin1String(row.name))), !row.removed)
            << row.why;
    }
#ifndef Q_OS_WIN
    EXPECT_TRUE(QFileInfo(temp.filePath(QStringLiteral("velmora-link01"))).isSymLink())
        << "a link stays";
    EXPECT_TRUE(QFileInfo::exists(target)) << "and what it leads to";
#endif
    EXPECT_TRUE(QFileInfo::exists(WorkLayout::lockFile(temp.filePath("velmora-alive1"))))
        << "a living run keeps its lock";
}

} // namespace
