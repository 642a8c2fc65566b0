#pragma once

#include "convert/file_outcome.h"

#include <QList>
#include <QString>

namespace velmora {

// Writes what became of each source as JSON Lines, one object per line:
// "source", "pages" (the delivered paths), "expected_pages" (a number or
// null), "failure" (null or the reason) and "seconds". The file is replaced
// whole or not at all. Returns the reason of a failure, empty on success.
QString WriteRunReport(const QString& path, const QList<FileOutcome>& files);

} // namespace velmora
