#pragma once

#include "base/path_style.h"

#include <QString>

// Small stateless helpers that take paths apart, tidy them, and create and
// delete files and folders. Text comparisons are case-sensitive; the
// separator is that of the path style.
namespace velmora {

// Text after the last separator; the whole path when it has none.
QString GetFileName(const QString& path, PathStyle style = nativePathStyle());

// Text up to and including the last separator; empty when it has none.
QString GetFolderPath(const QString& path, PathStyle style = nativePathStyle());

// The folder a path lies in as it is named: GetFolderPath without its
// closing separator, except for a root ("/", "C:\").
QString FolderOf(const QString& path, PathStyle style = nativePathStyle());

// A bare name without its last extension; a name whose only "." leads is kept.
QString RemoveExtension(const QString& name);

// Collapses doubled separators in one pass (three become two), keeping the
// network prefix "\\" in Windows style; in Posix style a leading run of "/"
// becomes one "/".
QString FixPath(const QString& path, PathStyle style = nativePathStyle());

// True for an existing folder (a trailing separator is accepted).
bool DirExists(const QString& path);

// Creates or truncates the file and writes the text plus one line break of
// the style, as UTF-8; throws Failure on any error.
void WriteTextFile(const QString& path, const QString& text, PathStyle style = nativePathStyle());

// Deletes a folder with everything below it; never follows a symbolic link
// out of the tree, removes read-only entries, and never fails.
void DeleteFolderTree(const QString& path);

} // namespace velmora
