#include "filelist/walk_rules.h"

#include "base/path_helpers.h"
#include "filelist/file_attributes.h"

#include <QRegularExpression>

namespace velmora {

namespace {

// Windows: a drive's root, a share's root (its trailing separators
// optional, as "\\server\share" names nothing else), or the current
// drive's root "\". Linux: "/".
const QRegularExpression& rootPattern(PathStyle style) {
    static const QRegularExpression windows(
        QStringLiteral(R"(^(?:[A-Za-z]:\\+|\\\\[^\\]+\\[^\\]+\\*|\\+)$)"));
    static const QRegularExpression posix(QStringLiteral("^/+$"));
    return style == PathStyle::Windows ? windows : posix;
}

constexpr unsigned kHiddenFileWord = ArchiveAttribute | HiddenAttribute;

} // namespace

bool IsRootFolder(PathStyle style, const QString& path) {
    return rootPattern(style).match(path).hasMatch();
}

bool IsSkippedFolderAttributeWord(unsigned word) {
    return word == (DirectoryAttribute | HiddenAttribute | SystemAttribute) ||
           word == (DirectoryAttribute | HiddenAttribute | SystemAttribute | ReparsePointAttribute);
}

bool WalksFolder(PathStyle style, const QString& path, unsigned word) {
    return IsRootFolder(style, path) || !IsSkippedFolderAttributeWord(word);
}

bool SkipsFile(PathStyle style, const QString& path, unsigned word) {
    return word == kHiddenFileWord && FileWordMatters(style, GetFileName(path, style));
}

bool FileWordMatters(PathStyle style, const QString& name) {
    return style == PathStyle::Windows || name.startsWith(QLatin1Char('.'));
}

} // namespace velmora
