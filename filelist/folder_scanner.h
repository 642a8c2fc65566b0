#pragma once

#include "filelist/walk_rules.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

class EventPump;
class Prompter;

// What a folder walk needs from its caller.
struct ScanContext {
    Prompter& prompter;                       // error reports
    EventPump& events;                        // yields to the event loop during the walk
    std::function<bool()> stopRequested = {}; // true: end the walk as soon as possible
    // The walk yields at most this often (milliseconds); 0 yields at every
    // folder and subfolder, which tests use to count the yields.
    int yieldIntervalMs = 10;
};

// Extends folders (each item ends in the separator) by every folder below
// them, breadth first, level after level. Skips hidden+system folders (22,
// 1046 attribute words), names with unsupported characters, and never walks a
// folder twice (links are followed once; cycles end).
void GetSubDirectories2016(QStringList& folders, bool recurse, const ScanContext& context);

// True when a name holds a control character (U+0000-U+001F, U+007F-U+009F) or
// "?"; the walk skips such folders. Flat listings live in base/folder_listing.h.
bool HasUnsupportedChars(const QString& name);

} // namespace velmora
