#pragma once

#include <QString>

#include <functional>

namespace velmora {

// How much a disk holds and how much of it is free, in bytes; -1 unknown.
struct DiskSpace {
    qint64 free = -1;
    qint64 total = -1;
};

// The space of the disk that holds a path (or would hold it, when it does not
// exist yet); tests put in their own.
using DiskSpaceOf = std::function<DiskSpace(const QString& path)>;
DiskSpace SystemDiskSpace(const QString& path);

// Whether a disk has room to spare: a run never writes on once less than the
// reserve is free. The reserve is `largestReserve`, or a tenth of the disk
// on a smaller one (a small machine's /tmp never has a whole GiB free). A
// disk we know nothing of has room.
bool HasRoom(DiskSpace space, qint64 largestReserve);

} // namespace velmora
