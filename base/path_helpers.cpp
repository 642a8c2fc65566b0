#include "base/path_helpers.h"

#include "base/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

QString GetFileName(const QString& path, PathStyle style) {
    return path.mid(path.lastIndexOf(separator(style)) + 1);
}

QString GetFolderPath(const QString& path, PathStyle style) {
    return path.left(path.lastIndexOf(separator(style)) + 1);
}

QString FolderOf(const QString& path, PathStyle style) {
    const QString folder = GetFolderPath(path, style);
    const bool driveRoot =
        style == PathStyle::Windows && folder.size() == 3 && folder.at(1) == QLatin1Char(':');
    return folder.size() > 1 && !driveRoot ? folder.chopped(1) : folder;
}

QString RemoveExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 1 ? name.left(dot) : name;
}

namespace {

// Replaces each non-overlapping pair of separators, scanning from the left.
QString collapsePairs(QStringView text, QChar sep) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        out.append(text[i]);
        if (text[i] == sep && i + 1 < text.size() && text[i + 1] == sep) {
            ++i;
        }
    }
    return out;
}

} // namespace

QString FixPath(const QString& path, PathStyle style) {
    const QChar sep = separator(style);
    if (path.isEmpty() || path.front() != sep) {
        return collapsePairs(path, sep);
    }
    qsizetype k = 0;
    while (k < path.size() && path[k] == sep) {
        ++k;
    }
    const QString prefix = style == PathStyle::Windows ? QString(2, sep) : QString(sep);
    return prefix + collapsePairs(QStringView(path).mid(k), sep);
}

bool DirExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void WriteTextFile(const QString& path, const QString& text, PathStyle style) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        throw Failure::fromFile(file, QStringLiteral("create"));
    }
    const QByteArray bytes = (text + lineBreak(style)).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        throw Failure::fromFile(file, QStringLiteral("write"));
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        throw Failure::fromFile(file, QStringLiteral("write"));
    }
}

namespace {

// Gives the owner full access to every real folder of the tree, so that
// read-only folders can be emptied. Symbolic links are never followed.
void openUpFolders(const QString& folder) {
    QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::ReadOwner |
                                      QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (!entry.isSymLink()) {
            openUpFolders(entry.filePath());
        }
    }
}

} // namespace

void DeleteFolderTree(const QString& path) {
    try {
        const QFileInfo root(path);
        if (path.isEmpty() || !root.isDir() || root.isSymLink()) {
            return;
        }
        openUpFolders(path);
        // removeRecursively deletes links themselves and never what they point to.
        QDir(path).removeRecursively();
    } catch (...) {
        // Whatever cannot be deleted stays behind.
    }
}

} // namespace velmora
