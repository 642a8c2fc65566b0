#include "convert/safe_files.h"

#include "base/failure.h"

#include <QByteArray>
#include <QFile>

namespace velmora {

namespace {

constexpr qsizetype kCopyBuffer = 1 << 20;

} // namespace

void CopyContents(QFile& source, QFile& target) {
    QByteArray buffer(kCopyBuffer, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(buffer.data(), buffer.size());
        if (got < 0) {
            throw Failure::fromFile(source, QStringLiteral("read"));
        }
        if (got == 0) {
            break;
        }
        // A short write is retried, so that a full disk shows as ENOSPC.
        for (qint64 done = 0; done < got;) {
            const qint64 wrote = target.write(buffer.constData() + done, got - done);
            if (wrote <= 0) {
                throw Failure::fromFile(target, QStringLiteral("write"));
            }
            done += wrote;
        }
    }
    if (!target.flush()) {
        throw Failure::fromFile(target, QStringLiteral("write"));
    }
}

void CopyInto(QFile& source, const QString& to) {
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        throw Failure::fromFile(target, QStringLiteral("create"));
    }
    CopyContents(source, target);
}

} // namespace velmora
