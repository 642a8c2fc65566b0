#include "filelist/folder_scanner.h"

#include "base/error_trap.h"
#include "base/event_pump.h"
#include "base/failure.h"
#include "base/path_helpers.h"
#include "base/path_style.h"
#include "filelist/file_attributes.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The walk reads folders with readdir and matches names itself rather than
// through QDir: "Add All" on archives of 100,000 files must stay within twice
// the time of find(1), and QDir's per-entry file info and regular-expression
// filters cost several times that. The entry type readdir reports spares most
// per-file system calls.

namespace velmora {

namespace {

constexpr qint64 PermissionDenied = 70;
constexpr qint64 PathNotFound = 76;

const QString& scannerLocation() {
    static const QString location =
        QStringLiteral("TobrinTitle2021/08/31.AddFolder.GetSubDirectories2016");
    return location;
}

// A failed system call as the classic error the callers' traps expect.
Failure systemFailure(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return Failure(QStringLiteral("Permission denied"), PermissionDenied);
    case ENOENT:
    case ENOTDIR:
        return Failure(QStringLiteral("Path not found"), PathNotFound);
    case EIO:
        return Failure(QStringLiteral("Device I/O error"), 57);
    case ENAMETOOLONG:
        return Failure(QStringLiteral("Bad file name or number"), 52);
    default:
        return Failure(QString::fromLocal8Bit(std::strerror(error)), 0);
    }
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A name that is not valid UTF-8 decodes with replacement characters and no
// longer names the entry; such entries cannot be reached through a path text.
bool decodesFaithfully(const QString& name, const char* raw) {
    if (!name.contains(QChar::ReplacementCharacter)) {
        return true;
    }
    return QFile::encodeName(name) == QByteArray(raw);
}

bool caseInsensitiveLess(const QString& a, const QString& b) {
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

// Case-folded code points, so that matching ignores case beyond ASCII too.
void foldUtf8(const char* raw, std::size_t length, std::u32string& out) {
    out.clear();
    bool ascii = true;
    for (std::size_t i = 0; i < length && ascii; ++i) {
        ascii = (static_cast<unsigned char>(raw[i]) & 0x80U) == 0;
    }
    if (ascii) {
        for (std::size_t i = 0; i < length; ++i) {
            const char32_t c = static_cast<unsigned char>(raw[i]);
            out.push_back(c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c);
        }
        return;
    }
    for (const char32_t c : QString::fromUtf8(raw, static_cast<qsizetype>(length)).toUcs4()) {
        out.push_back(QChar::toCaseFolded(c));
    }
}

void foldText(const QString& text, std::u32string& out) {
    out.clear();
    for (const char32_t c : text.toUcs4()) {
        out.push_back(QChar::toCaseFolded(c));
    }
}

// "*" matches any run, "?" any one character; greedy with one backtrack point,
// which is enough for these two wildcards.
bool wildcardMatch(std::u32string_view name, std::u32string_view pattern) {
    constexpr std::size_t none = std::u32string_view::npos;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = none;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (starP != none) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

class FilePattern {
public:
    explicit FilePattern(const QString& pattern) {
        foldText(pattern.isEmpty() ? QStringLiteral("*") : pattern, m_full);
        // A closing ".*" also matches no extension at all, so "*.*" means
        // "every file" (and "a.*" matches "a"), as users of "*.*" expect.
        m_hasShortForm = m_full.size() >= 2 && m_full.ends_with(U".*");
        if (m_hasShortForm) {
            m_short = m_full.substr(0, m_full.size() - 2);
        }
    }

    bool matches(std::u32string_view foldedName) const {
        return wildcardMatch(foldedName, m_full) ||
               (m_hasShortForm && wildcardMatch(foldedName, m_short));
    }

private:
    std::u32string m_full;
    std::u32string m_short;
    bool m_hasShortForm = false;
};

bool isRootFolder(const QString& path) {
    return path == QString(separator(nativePathStyle()));
}

struct FolderId {
    dev_t device;
    ino_t inode;
    bool operator==(const FolderId&) const = default;
};

struct FolderIdHash {
    std::size_t operator()(const FolderId& id) const noexcept {
        return std::hash<ino_t>{}(id.inode) ^
               (std::hash<dev_t>{}(id.device) * 0x9e3779b97f4a7c15ULL);
    }
};

// One call of the walk: the folders seen so far (so links never make it walk
// a folder twice or loop), the yield clock and the stop state.
class FolderWalk {
public:
    explicit FolderWalk(const ScanContext& context)
        : m_trap(ErrorTrap::withFullLocation(context.prompter, scannerLocation())),
          m_context(context) {
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
    static void dropAfterListingFailure(QStringList& level, qsizetype& index, const QString& v,
                                        qint64 number) {
        if (number != PermissionDenied && number != PathNotFound) {
            return;
        }
        const qsizetype first = level.indexOf(v);
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
            const QString v = level.at(i);
            auto attempt = [&](int line, const std::function<void()>& body) {
                if (!listing) {
                    return m_trap.step(line, body);
                }
                try {
                    body();
                    return true;
                } catch (const Failure& failure) {
                    dropAfterListingFailure(level, i, v, failure.number());
                } catch (...) {
                    // any other listing failure leaves the folder in the list
                }
                return false;
            };

            // One stat answers both "is it a folder" and, for the loop check,
            // "which folder is it"; a path the kernel refuses (too long) fails
            // it like a missing one.
            const QByteArray native = QFile::encodeName(v);
            struct stat info {};
            if (::stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
                native.size() >= PATH_MAX) {
                continue;
            }
            if (!attempt(114, [&] { maybeYield(); }) && listing) {
                continue;
            }
            if (!isRootFolder(v) && IsSkippedFolderAttributeWord(AttributeWord(v))) { // line 116
                continue;
            }
            listing = true;
            const FolderId id{info.st_dev, info.st_ino};
            if (startLevel && !m_seen.insert(id).second) {
                continue; // the same folder was handed in twice: walk it once
            }
            attempt(118, [&] { listFolder(v, native, next); });
        }
    }

    // Appends v + name + "/" for every subfolder of v, sorted by name without
    // regard to case; throws the listing's failure after appending what was
    // collected before it.
    void listFolder(const QString& v, const QByteArray& native, QStringList& next) {
        DirHandle dir(::opendir(native.constData()));
        if (!dir) {
            throw systemFailure(errno);
        }
        struct Candidate {
            QString name;
            QByteArray raw;
        };
        std::vector<Candidate> candidates;
        int readError = 0;
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir.get());
            if (entry == nullptr) {
                readError = errno;
                break;
            }
            if (entry->d_type != DT_DIR && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
                continue;
            }
            const char* raw = entry->d_name;
            if (isDotOrDotDot(raw)) {
                continue;
            }
            maybeYield();
            // Names are never longer than NAME_MAX here; the guard keeps the
            // rule visible should a file system disagree.
            const std::size_t length = std::strlen(raw);
            if (length > NAME_MAX) {
                continue;
            }
            QString name = QFile::decodeName(raw);
            if (!decodesFaithfully(name, raw) || HasUnsupportedChars(name) ||
                name.contains(QLatin1Char('?'))) {
                continue;
            }
            candidates.push_back(
                {std::move(name), QByteArray(raw, static_cast<qsizetype>(length))});
        }
        std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
            return caseInsensitiveLess(a.name, b.name);
        });
        const QChar slash = separator(nativePathStyle());
        const int dirFd = ::dirfd(dir.get());
        for (const Candidate& candidate : candidates) {
            // A link is followed like the folder it points to, but only once.
            struct stat info {};
            if (::fstatat(dirFd, candidate.raw.constData(), &info, 0) != 0 ||
                !S_ISDIR(info.st_mode)) {
                continue;
            }
            if (!m_seen.insert(FolderId{info.st_dev, info.st_ino}).second) {
                continue;
            }
            next.append(v + candidate.name + slash); // lines 132 and 134
        }
        if (readError != 0) {
            throw systemFailure(readError);
        }
    }

    // Appends the folders of a level that still exist and are not skipped.
    void merge(const QStringList& level, QStringList& folders) {
        for (const QString& w : level) { // line 152
            if (!m_trap.test(154, [&] { return DirExists(w); })) {
                continue;
            }
            if (!m_stopped) {
                m_trap.step(156, [&] { maybeYield(); });
            }
            if (m_trap.test(158, [&] {
                    return isRootFolder(w) || !IsSkippedFolderAttributeWord(AttributeWord(w));
                })) {
                m_trap.step(160, [&] { folders.append(w); });
            }
        }
    }

    ErrorTrap m_trap;
    const ScanContext& m_context;
    QElapsedTimer m_sinceYield;
    std::unordered_set<FolderId, FolderIdHash> m_seen;
    bool m_stopped = false;
};

} // namespace

bool IsSkippedFolderAttributeWord(unsigned word) {
    return word == (DirectoryAttribute | HiddenAttribute | SystemAttribute) ||
           word == (DirectoryAttribute | HiddenAttribute | SystemAttribute | ReparsePointAttribute);
}

bool MatchesFilePattern(const QString& name, const QString& pattern) {
    std::u32string folded;
    foldText(name, folded);
    return FilePattern(pattern).matches(folded);
}

void GetSubDirectories2016(QStringList& folders, bool recurse, const ScanContext& context) {
    FolderWalk(context).run(folders, recurse);
}

QStringList GetFilesInFolder(const QString& folder, const QString& pattern) {
    const QChar slash = separator(nativePathStyle());
    const QString dir = folder.endsWith(slash) ? folder : folder + slash;
    const QByteArray native = QFile::encodeName(dir);
    DirHandle handle(::opendir(native.constData()));
    if (!handle) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return {}; // like a listing of a missing folder: no names
        }
        throw systemFailure(error);
    }
    const FilePattern matcher(pattern);
    const int dirFd = ::dirfd(handle.get());
    std::u32string folded;
    folded.reserve(NAME_MAX);
    QStringList names;
    // Without search permission on the folder no entry can be opened, so none
    // exists, whatever the listing says; asked once, at the first match.
    std::optional<bool> searchable;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(handle.get());
        if (entry == nullptr) {
            if (errno != 0) {
                throw systemFailure(errno);
            }
            break;
        }
        if (entry->d_type == DT_DIR || isDotOrDotDot(entry->d_name)) {
            continue;
        }
        const char* raw = entry->d_name;
        foldUtf8(raw, std::strlen(raw), folded);
        if (!matcher.matches(folded)) {
            continue;
        }
        // The same test as FileExists, without a second path lookup when the
        // listing already says "regular file".
        if (!searchable) {
            searchable = ::faccessat(AT_FDCWD, native.constData(), X_OK, AT_EACCESS) == 0;
        }
        if (!*searchable) {
            break;
        }
        bool regular = entry->d_type == DT_REG;
        if (!regular) {
            struct stat info {};
            regular = ::fstatat(dirFd, raw, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (!regular) {
            continue;
        }
        QString name = QFile::decodeName(raw);
        if (decodesFaithfully(name, raw)) {
            names.append(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(), caseInsensitiveLess);
    return names;
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
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
