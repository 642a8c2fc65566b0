#pragma once

#include "base/failure.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

// The system's own view of folders, one small file per system
// (folder_reader_posix.cpp, folder_reader_windows.cpp): the entries of one
// folder as it lists them, and the few facts about a path the listing and
// the folder walk ask for. Everything above it is the same on both.
namespace velmora {

// What the listing says an entry is, before any link is followed.
enum class EntryKind { File, Folder, Link, Other, Unknown };

struct FolderEntry {
    QString name; // never "." or ".."; only names that a path text can reach
    EntryKind kind = EntryKind::Unknown;
};

// Which folder a path leads to, links followed: the same folder reached two
// ways has the same id.
struct FolderId {
    quint64 volume = 0;
    quint64 node = 0;
    bool operator==(const FolderId&) const = default;
};

class FolderReader {
public:
    // Opens the folder for listing; throws a numbered Failure when it cannot
    // (a missing folder is error_number::kPathNotFound).
    explicit FolderReader(const QString& folder);
    ~FolderReader();

    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // The next entry, nullopt after the last; throws Failure when the listing
    // breaks off.
    std::optional<FolderEntry> next();

    // About an entry of this folder, links followed.
    bool isRegularFile(const FolderEntry& entry) const;
    std::optional<FolderId> folderId(const FolderEntry& entry) const;

    // False when entries can be listed but not opened (a folder without
    // search permission): then none of its files exist for us.
    bool entriesReachable() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The folder a path leads to, links followed; nullopt when it is no folder
// or the system refuses the path (too long, say).
std::optional<FolderId> FolderIdOf(const QString& path);

// True for an existing regular file, or a link to one, whatever its
// permissions (a mode-0 file exists too); never for a folder, a pipe or a
// device.
bool FileExists(const QString& path);

// Why the system cannot reach a path, in its own words ("No such file or
// directory"); nullopt when it can.
std::optional<QString> WhyUnreachable(const QString& path);

} // namespace velmora
