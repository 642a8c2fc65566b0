#include "filelist/dialog_rows.h"

#include "base/path_helpers.h"

namespace velmora {

namespace {

// The folder part as the dialog gives it: no closing separator, except for a
// root ("/", "C:\").
QString dialogFolder(const QString& path) {
    const QChar sep = separator(nativePathStyle());
    QString folder = GetFolderPath(path);
    if (folder.size() > 1 && folder.endsWith(sep) && !folder.endsWith(QStringLiteral(":\\"))) {
        folder.chop(1);
    }
    return folder;
}

} // namespace

qsizetype SelectionNameLength(const QStringList& picked) {
    if (picked.size() == 1) {
        return picked.front().size();
    }
    if (picked.isEmpty()) {
        return 0;
    }
    qsizetype length = dialogFolder(picked.front()).size();
    for (const QString& path : picked) {
        length += 1 + GetFileName(path).size();
    }
    return length;
}

bool SelectionFits(const QStringList& picked) {
    return SelectionNameLength(picked) <= kMaxFileSize;
}

QStringList DialogRows(const QStringList& picked) {
    if (picked.size() == 1) {
        return picked;
    }
    QStringList rows;
    rows.reserve(picked.size());
    for (const QString& path : picked) {
        rows.append(FixPath(path));
    }
    return rows;
}

} // namespace velmora
