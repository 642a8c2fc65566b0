#include "convert/disk_space.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace velmora {

namespace {

// The share of a disk kept free where the largest reserve would be too much.
constexpr qint64 kReserveShareDivisor = 10;

} // namespace

DiskSpace SystemDiskSpace(const QString& path) {
    // The folder may not exist yet (or any more): ask for the nearest one that does.
    QString existing = path;
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        const QString parent = QFileInfo(existing).path();
        if (parent == existing) {
            break;
        }
        existing = parent;
    }
    const QStorageInfo storage(existing);
    if (!storage.isValid()) {
        return {};
    }
    return {storage.bytesAvailable(), storage.bytesTotal()};
}

bool HasRoom(DiskSpace space, qint64 largestReserve) {
    if (space.free < 0) {
        return true;
    }
    const qint64 reserve = space.total > 0
                               ? std::min(largestReserve, space.total / kReserveShareDivisor)
                               : largestReserve;
    return space.free >= reserve;
}

} // namespace velmora
