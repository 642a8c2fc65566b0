#include "convert/run_summary.h"

#include <algorithm>

namespace velmora {

bool RunSummary::anyFailed() const {
    return std::any_of(files.cbegin(), files.cend(),
                       [](const FileOutcome& file) { return file.failed(); });
}

bool RunSummary::allSucceeded() const {
    return status == Status::Converted && !anyFailed();
}

} // namespace velmora
