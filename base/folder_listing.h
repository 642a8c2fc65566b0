#pragma once

#include "base/failure.h"

#include <QString>
#include <QStringList>

#include <dirent.h>

#include <memory>

// One folder at a time: its files by wildcard pattern, and whether a path is
// a file. The walk below a folder (filelist/folder_scanner.h) and the
// engine's page listing both read folders through this file.
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

// True for an existing regular file, or a link to one, whatever its
// permissions (a mode-0 file exists too); never for a folder, a pipe or a
// device.
bool FileExists(const QString& path);

// ---- Shared with the folder walk, which reads folders the same way.

// A failed system call (errno) as the numbered Failure the callers' traps expect.
Failure SystemFailure(int error);

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool IsDotOrDotDot(const char* name);

// A name that is not valid UTF-8 decodes with replacement characters and no
// longer names the entry; such entries cannot be reached through a path text.
bool DecodesFaithfully(const QString& name, const char* raw);

// Without regard to case; names equal but for case keep a fixed order.
bool CaseInsensitiveLess(const QString& a, const QString& b);

} // namespace velmora
