#pragma once

#include <QString>
#include <QStringList>

// One folder at a time: its files by wildcard pattern. "Add All" and the
// engine's page listing read folders through this file, the walk below a
// folder (filelist/folder_scanner.h) through the same reader.
namespace velmora {

// True when a bare name matches a wildcard pattern ("*" any run, "?" any one
// character), case-insensitively; a closing ".*" may also match nothing, so
// "*.*" matches every name, dotted or not. The empty pattern matches all.
bool MatchesFilePattern(const QString& name, const QString& pattern);

// Bare names of the files (never folders) in folder that match the pattern,
// case-insensitively, hidden ones included, sorted case-insensitively.
// Empty when none or when the folder is missing; throws Failure when the
// folder cannot be read.
QStringList GetFilesInFolder(const QString& folder, const QString& pattern);

// Without regard to case; names equal but for case keep a fixed order.
bool CaseInsensitiveLess(const QString& a, const QString& b);

} // namespace velmora
