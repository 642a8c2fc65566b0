#include "cli/source_stamp.h"

#include <QFile>

#include <sys/stat.h>

namespace velmora {

SourceStamp SourceStamp::of(const QString& path) {
    // stat, as the run's fstat of the open source: the same whole seconds.
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return {};
    }
    return {status.st_size, status.st_mtime};
}

} // namespace velmora
