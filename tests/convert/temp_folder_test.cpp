// Where a run's work folder goes, and when its disk is too full to write on.
#include "convert/disk_space.h"
#include "convert/work_layout.h"
#include "support/qstring_printer.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

using namespace velmora;

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kGiB = 1024 * kMiB;

TEST(WorkLayout, TempFolderComesFromTheEnvironmentTidied) {
    const bool had = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray old = qgetenv("TMPDIR");
    const auto restore = qScopeGuard([&] { had ? qputenv("TMPDIR", old) : qunsetenv("TMPDIR"); });
    const struct {
        QByteArray tmpdir;
        const char* base;
        const char* reason;
    } rows[] = {
        {"/var/tmp", "/var/tmp", "taken as it is"},
        {"/var/tmp/", "/var/tmp", "a trailing separator is dropped"},
        {"/var//tmp//", "/var/tmp", "doubled separators collapse"},
        {"/", "/", "the root keeps its separator"},
        {QByteArray(), "", "not set: the engine uses the system's temporary folder"},
        {"", "", "empty: the same"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        row.tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", row.tmpdir);
        EXPECT_EQ(WorkLayout::tempFolderFromEnvironment(), QString::fromUtf8(row.base));
    }
}

TEST(DiskSpace, TheReserveFitsTheDisk) {
    const struct Row {
        DiskSpace space;
        bool room;
        const char* why;
    } rows[] = {
        {{600 * kMiB - 10 * kMiB, 600 * kMiB},
         true,
         "a small /tmp with its pages written keeps a tenth free, not a whole GiB"},
        {{60 * kMiB, 600 * kMiB}, true, "exactly a tenth of a small disk free is enough"},
        {{60 * kMiB - 1, 600 * kMiB}, false, "below a tenth of a small disk"},
        {{kGiB, 500 * kGiB}, true, "a large disk keeps 1 GiB, not 50"},
        {{kGiB - 1, 500 * kGiB}, false, "a large disk below 1 GiB free"},
        {{5 * kMiB, -1}, false, "a disk of unknown size keeps the whole reserve"},
        {{-1, -1}, true, "a disk we know nothing of never stops a run"},
        {{0, 0}, false, "a disk that reports no size and nothing free"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HasRoom(row.space, kGiB), row.room) << row.why;
    }
    const DiskSpace space = SystemDiskSpace(QStringLiteral("/tmp/no/such/folder/yet"));
    EXPECT_GE(space.free, 0) << "the system answers for a folder not yet made";
    EXPECT_GE(space.total, space.free);
}
