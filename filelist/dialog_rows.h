#pragma once

#include <QString>
#include <QStringList>

namespace velmora {

// Room the file dialog has for its whole answer: the folder, then a NUL and
// the bare name of every picked file (one picked file: its full path alone).
constexpr qsizetype kMaxFileSize = 30000;

// The length of that answer for the picked paths (full paths, one folder).
qsizetype SelectionNameLength(const QStringList& picked);

// False when the picked files would not fit into kMaxFileSize characters.
bool SelectionFits(const QStringList& picked);

// The rows for the picked paths, in the dialog's order: one file exactly as
// picked; several each tidied by FixPath (no doubled separators, a network
// prefix kept).
QStringList DialogRows(const QStringList& picked);

} // namespace velmora
