#include "cli/source_stamp.h"

#include <QFileInfo>

namespace velmora {

SourceStamp SourceStamp::of(const QString& path) {
    // The same whole seconds as the run's look at the open source.
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    return {info.size(), info.lastModified().toSecsSinceEpoch()};
}

} // namespace velmora
