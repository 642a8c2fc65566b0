#include "app/cursor_file.h"

#include "base/error_numbers.h"
#include "base/failure.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace velmora {

namespace {

// Header: reserved, type, count (3 x 16 bits); then 16-byte entries whose
// bytes 4 to 7 hold the hot spot in a cursor file.
constexpr qsizetype kHeaderSize = 6;
constexpr qsizetype kEntrySize = 16;
// Larger files are no pointer pictures; refuse them before reading them in.
constexpr qint64 kLargestCursorFile = 4 * 1024 * 1024;

quint16 read16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

Failure invalidPicture() {
    return Failure(QStringLiteral("Invalid picture"), error_number::kInvalidPicture);
}

} // namespace

std::optional<QPoint> CursorHotSpot(const QByteArray& file) {
    if (file.size() < kHeaderSize + kEntrySize || read16(file, 0) != 0 || read16(file, 2) != 2 ||
        read16(file, 4) == 0) {
        return std::nullopt;
    }
    return QPoint(read16(file, kHeaderSize + 4), read16(file, kHeaderSize + 6));
}

QCursor LoadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure::fromFile(file, QStringLiteral("open"));
    }
    if (file.size() > kLargestCursorFile) {
        throw invalidPicture();
    }
    const QByteArray bytes = file.readAll();
    QImage image;
    if (!image.loadFromData(bytes, "cur") && !image.loadFromData(bytes)) {
        throw invalidPicture();
    }
    const QPoint hot = CursorHotSpot(bytes).value_or(QPoint(0, 0));
    return QCursor(QPixmap::fromImage(image), qBound(0, hot.x(), image.width() - 1),
                   qBound(0, hot.y(), image.height() - 1));
}

} // namespace velmora
