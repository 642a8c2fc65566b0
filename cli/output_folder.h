#pragma once

#include <QString>

#include <optional>

namespace velmora {

// Makes the folder --output-dir names, with its parents, as `mkdir -p`
// does: a batch job's pages folder need not exist before the job. The
// system's reason when it cannot; nullopt when the folder is there.
std::optional<QString> MakeOutputFolder(const QString& folder);

} // namespace velmora
