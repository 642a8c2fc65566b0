#include "convert/disk_space.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kGiB = 1024 * kMiB;

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
}

TEST(DiskSpace, TheSystemAnswersForAFolderNotYetMade) {
    const DiskSpace space = SystemDiskSpace(QStringLiteral("/tmp/no/such/folder/yet"));
    EXPECT_GE(space.free, 0);
    EXPECT_GE(space.total, space.free);
}

} // namespace
