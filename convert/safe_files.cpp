#include "convert/safe_files.h"

#include "base/failure.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>

namespace velmora {

namespace {

constexpr qsizetype kCopyBuffer = 1 << 20;
// A page is first written under its name and a random ending; a name that
// happens to be taken is drawn again, this many times at most.
constexpr int kPartNameAttempts = 100;
constexpr int kPartNameBase = 36;

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

Failure page_part::NotSaved(const QString& target, const QString& reason) {
    return Failure(QStringLiteral("Could not save %1: %2").arg(target, reason));
}

void DeliverFile(const QString& image, const QString& target) {
    QString part;
    QFile out;
    for (int attempt = 0;; ++attempt) {
        part = target + QStringLiteral(".%1.part")
                            .arg(QRandomGenerator::global()->generate(), 0, kPartNameBase);
        if (page_part::Create(part, target, out)) {
            break;
        }
        if (attempt >= kPartNameAttempts) {
            throw page_part::NotSaved(target, QStringLiteral("no free name for its part file"));
        }
    }
    try {
        QFile in;
        OpenOwnOutput(image, in);
        CopyContents(in, out);
        out.close();
        page_part::Replace(part, target);
    } catch (...) {
        out.close();
        QFile::remove(part);
        throw;
    }
}

} // namespace velmora
