#include "base/folder_listing.h"

#include "base/error_numbers.h"
#include "base/folder_reader.h"
#include "base/path_style.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

// Names are matched here rather than through QDir's regular-expression
// filters, which cost several times what "Add All" may take on archives of
// 100,000 files.

namespace velmora {

namespace {

constexpr char16_t kFirstNonAscii = 0x80;

// Case-folded code points, so that matching ignores case beyond ASCII too.
// Names are nearly always ASCII: those are folded in one pass, in place.
void foldText(const QString& text, std::u32string& out) {
    out.resize(static_cast<std::size_t>(text.size()));
    char32_t* folded = out.data();
    for (const QChar c : text) {
        const char32_t code = c.unicode();
        if (code >= kFirstNonAscii) {
            out.clear();
            for (const char32_t point : text.toUcs4()) {
                out.push_back(QChar::toCaseFolded(point));
            }
            return;
        }
        *folded++ = code >= U'A' && code <= U'Z' ? code + (U'a' - U'A') : code;
    }
}

// "*" matches any run, "?" any one character; greedy with one backtrack point,
// which is enough for these two wildcards.
bool wildcardMatch(std::u32string_view name, std::u32string_view pattern) {
    constexpr std::size_t kNone = std::u32string_view::npos;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = kNone;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (starP != kNone) {
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

} // namespace

bool CaseInsensitiveLess(const QString& a, const QString& b) {
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

bool MatchesFilePattern(const QString& name, const QString& pattern) {
    std::u32string folded;
    foldText(name, folded);
    return FilePattern(pattern).matches(folded);
}

QStringList GetFilesInFolder(const QString& folder, const QString& pattern) {
    const QChar slash = separator(nativePathStyle());
    std::optional<FolderReader> reader;
    try {
        reader.emplace(folder.endsWith(slash) ? folder : folder + slash);
    } catch (const Failure& failure) {
        if (failure.number() == error_number::kPathNotFound) {
            return {}; // like a listing of a missing folder: no names
        }
        throw;
    }
    const FilePattern matcher(pattern);
    std::u32string folded;
    QStringList names;
    // When entries cannot be opened none exists, whatever the listing says;
    // asked once, at the first match.
    std::optional<bool> reachable;
    while (std::optional<FolderEntry> entry = reader->next()) {
        if (entry->kind == EntryKind::Folder) {
            continue;
        }
        foldText(entry->name, folded);
        if (!matcher.matches(folded)) {
            continue;
        }
        if (!reachable) {
            reachable = reader->entriesReachable();
        }
        if (!*reachable) {
            break;
        }
        // The same test as FileExists, without a second lookup when the
        // listing already says "regular file".
        if (reader->isRegularFile(*entry)) {
            names.append(std::move(entry->name));
        }
    }
    std::sort(names.begin(), names.end(), CaseInsensitiveLess);
    return names;
}

} // namespace velmora
