#include "filelist/folder_scanner.h"

#include "base/error_numbers.h"
#include "base/event_pump.h"
#include "base/failure.h"
#include "base/folder_listing.h"
#include "base/folder_reader.h"
#include "base/located_trap.h"
#include "base/path_helpers.h"
#include "base/path_style.h"
#include "filelist/file_attributes.h"

#include <QElapsedTimer>

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

// The walk reads folders through base/folder_reader.h, as "Add All" does:
// QDir costs several times what it may take on large archives.

namespace velmora {

namespace {

using Steps = report_location::FolderScanner;

struct FolderIdHash {
    // Spreads the volume over the bits (the 64-bit golden ratio), so folders
    // with equal node numbers on different volumes rarely share a bucket.
    static constexpr std::size_t kSpread = 0x9e3779b97f4a7c15ULL;
    std::size_t operator()(const FolderId& id) const noexcept {
        return std::hash<quint64>{}(id.node) ^ (std::hash<quint64>{}(id.volume) * kSpread);
    }
};

// One call of the walk: the folders seen so far (so links never make it walk
// a folder twice or loop), the yield clock and the stop state.
class FolderWalk {
public:
    explicit FolderWalk(const ScanContext& context) : m_trap(context.prompter), m_context(context) {
        m_sinceYield.start();
    }

    void run(QStringList& folders, bool recurse) {
        std::vector<QStringList> levels(1);
        listLevel(folders, levels.back(), true);
        while (recurse && !m_stopped && !levels.back().isEmpty()) {
            QStringList next;
            listLevel(levels.back(), next, false);
            levels.push_back(std::move(next));
        }
        for (const QStringList& level : levels) {
            merge(level, folders);
        }
    }

private:
    bool stopRequested() {
        if (!m_stopped && m_context.stopRequested && m_context.stopRequested()) {
            m_stopped = true;
        }
        return m_stopped;
    }

    void maybeYield() {
        if (m_context.yieldIntervalMs <= 0 || m_sinceYield.hasExpired(m_context.yieldIntervalMs)) {
            m_context.events.letEventsRun();
            m_sinceYield.restart();
        }
    }

    // Permission denied and path not found take the folder out of the list
    // (the first item equal to it); any other failure leaves it there.
    static void dropAfterListingFailure(QStringList& level, qsizetype& index, const QString& folder,
                                        qint64 number) {
        if (number != error_number::kPermissionDenied && number != error_number::kPathNotFound) {
            return;
        }
        const qsizetype first = level.indexOf(folder);
        if (first >= 0) {
            level.removeAt(first);
            if (first <= index) {
                --index;
            }
        }
    }

    // Lists the subfolders of every folder of level into next (each level
    // after the one above it). Until the first folder of the level is being
    // listed a failure is reported; after that it is a listing failure of the
    // folder at hand.
    void listLevel(QStringList& level, QStringList& next, bool startLevel) {
        bool listing = false;
        for (qsizetype i = 0; i < level.size(); ++i) {
            if (stopRequested()) {
                return;
            }
            const QString folder = level.at(i);
            auto attempt = [&](Steps::Step step, const std::function<void()>& body) {
                if (!listing) {
                    return m_trap.step(step, body);
                }
                try {
                    body();
                    return true;
                } catch (const Failure& failure) {
                    dropAfterListingFailure(level, i, folder, failure.number());
                } catch (...) {
                    // any other listing failure leaves the folder in the list
                }
                return false;
            };

            // One question answers both "is it a folder" and, for the loop
            // check, "which folder is it"; a path the system refuses (too
            // long) fails it like a missing one.
            const std::optional<FolderId> id = FolderIdOf(folder);
            if (!id) {
                continue;
            }
            if (!attempt(Steps::kYieldAtFolder, [&] { maybeYield(); }) && listing) {
                continue;
            }
            if (!WalksFolder(nativePathStyle(), folder, AttributeWord(folder))) {
                continue;
            }
            listing = true;
            if (startLevel && !m_seen.insert(*id).second) {
                continue; // the same folder was handed in twice: walk it once
            }
            attempt(Steps::kListSubfolders, [&] { listFolder(folder, next); });
        }
    }

    // Appends folder + name + "/" for every subfolder of folder, sorted by
    // name without regard to case; throws the listing's failure after
    // appending what was collected before it.
    void listFolder(const QString& folder, QStringList& next) {
        FolderReader reader(folder);
        std::vector<FolderEntry> candidates;
        std::optional<Failure> readFailure;
        try {
            while (std::optional<FolderEntry> entry = reader.next()) {
                if (entry->kind == EntryKind::File || entry->kind == EntryKind::Other) {
                    continue;
                }
                maybeYield();
                if (!HasUnsupportedChars(entry->name)) {
                    candidates.push_back(std::move(*entry));
                }
            }
        } catch (const Failure& failure) {
            readFailure = failure;
        }
        std::sort(candidates.begin(), candidates.end(),
                  [](const FolderEntry& a, const FolderEntry& b) {
                      return CaseInsensitiveLess(a.name, b.name);
                  });
        const QChar slash = separator(nativePathStyle());
        for (const FolderEntry& candidate : candidates) {
            // A link is followed like the folder it points to, but only once.
            const std::optional<FolderId> id = reader.folderId(candidate);
            if (id && m_seen.insert(*id).second) {
                next.append(folder + candidate.name + slash);
            }
        }
        if (readFailure) {
            throw *readFailure;
        }
    }

    // Appends the folders of a level that still exist and are not skipped.
    void merge(const QStringList& level, QStringList& folders) {
        for (const QString& found : level) {
            if (!m_trap.test(Steps::kTestStillThere, [&] { return DirExists(found); })) {
                continue;
            }
            if (!m_stopped) {
                m_trap.step(Steps::kYieldAtFound, [&] { maybeYield(); });
            }
            if (m_trap.test(Steps::kTestNotSkipped, [&] {
                    return WalksFolder(nativePathStyle(), found, AttributeWord(found));
                })) {
                m_trap.step(Steps::kKeepFound, [&] { folders.append(found); });
            }
        }
    }

    LocatedTrap<Steps> m_trap;
    const ScanContext& m_context;
    QElapsedTimer m_sinceYield;
    std::unordered_set<FolderId, FolderIdHash> m_seen;
    bool m_stopped = false;
};

} // namespace

void GetSubDirectories2016(QStringList& folders, bool recurse, const ScanContext& context) {
    FolderWalk(context).run(folders, recurse);
}

bool HasUnsupportedChars(const QString& name) {
    for (const QChar c : name) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == u'?') {
            return true;
        }
    }
    return false;
}

} // namespace velmora
