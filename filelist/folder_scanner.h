#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

class EventPump;
class Prompter;

// What a folder walk needs from its caller.
struct ScanContext {
    Prompter& prompter;                 // error reports
    EventPump& events;                  // yields to the event loop during the walk
    std::function<bool()> stopRequested = {}; // true: end the walk as soon as possible
};

// Extends folders (each item ends in the separator) by every folder below
// them, breadth first, level after level. Skips hidden+system folders (22,
// 1046 attribute words), names with unsupported characters, and never walks a
// folder twice (links are followed once; cycles end).
void GetSubDirectories2016(QStringList& folders, bool recurse, const ScanContext& context);

// Bare names of the files (never folders) in folder that match the pattern,
// case-insensitively, hidden ones included, sorted case-insensitively.
// Empty when none.
QStringList GetFilesInFolder(const QString& folder, const QString& pattern);

// True for an existing file that can be opened; never for a folder.
bool FileExists(const QString& path);

// True when a name holds a control character (U+0000-U+001F, U+007F-U+009F) or "?".
bool HasUnsupportedChars(const QString& name);

} // namespace velmora
