#include "filelist/file_attributes.h"

#include <QFile>

#include <sys/stat.h>

namespace velmora {

namespace {

// The last component of a path, ignoring trailing separators; empty for "/".
QStringView lastName(QStringView path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace

unsigned AttributeWord(const QString& path) {
    if (path.isEmpty()) {
        return 0;
    }
    // A trailing "/" would make lstat resolve a link, and the link bit is
    // about the entry itself, so strip it (but keep "/" itself).
    QString entry = path;
    while (entry.size() > 1 && entry.endsWith(QLatin1Char('/'))) {
        entry.chop(1);
    }
    const QByteArray native = QFile::encodeName(entry);
    struct stat linkInfo {};
    if (::lstat(native.constData(), &linkInfo) != 0) {
        return 0;
    }
    unsigned word = 0;
    struct stat info = linkInfo;
    bool haveTarget = true;
    if (S_ISLNK(linkInfo.st_mode)) {
        word |= ReparsePointAttribute;
        haveTarget = ::stat(native.constData(), &info) == 0; // false: a dangling link
    }
    if (haveTarget) {
        if (S_ISDIR(info.st_mode)) {
            word |= DirectoryAttribute;
        } else if (S_ISREG(info.st_mode)) {
            word |= ArchiveAttribute;
        }
        if ((info.st_mode & S_IWUSR) == 0) {
            word |= ReadOnlyAttribute;
        }
    }
    const QStringView name = lastName(path);
    if (name.startsWith(QLatin1Char('.')) && name != QLatin1String(".") &&
        name != QLatin1String("..")) {
        word |= HiddenAttribute;
    }
    return word;
}

} // namespace velmora
