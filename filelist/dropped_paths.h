#pragma once

#include "base/error_trap.h"

#include <QString>
#include <QStringList>

namespace velmora {

struct ScanContext;

// True when a dropped path names an existing folder (the attribute word has
// the directory bit); everything else counts as a file.
bool IsDroppedFolder(const QString& path);

// The rows one dropped path gives: a file is one row exactly as dropped (no
// extension, existence or duplicate test, no tidying); a folder gives every
// file below it, like "Add All" with "*" (names beginning with "~" and
// attribute word 34 left out); a folder below it whose files cannot be
// listed is reported through `listFiles`.
QStringList DroppedRows(const QString& path, const ScanContext& context,
                        const ErrorTrap::BoundStep& listFiles);

} // namespace velmora
