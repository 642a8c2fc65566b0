#include "convert/ghostscript_report.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace velmora {

namespace {

constexpr qsizetype kMaxReasonLength = 160;

} // namespace

QString ReasonText(const QByteArray& line) {
    QString text = QString::fromUtf8(line).trimmed();
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter) {
            c = QLatin1Char('?');
        }
    }
    if (text.size() > kMaxReasonLength) {
        text = text.left(kMaxReasonLength - 3) + QStringLiteral("...");
    }
    return text;
}

namespace {

// The value of the last "%%Pages:" comment in a piece of the document;
// -2 when it says "(atend)", -1 when there is none.
int pagesComment(const QByteArray& piece) {
    static const QRegularExpression comment(QStringLiteral("^%%Pages:[ \\t]*(\\(atend\\)|\\d+)"),
                                            QRegularExpression::MultilineOption);
    int value = -1;
    auto it = comment.globalMatch(QString::fromLatin1(piece));
    while (it.hasNext()) {
        const QString found = it.next().captured(1);
        value = found.startsWith(QLatin1Char('(')) ? -2 : found.toInt();
    }
    return value;
}

} // namespace

bool IsGhostscriptErrorLine(const QByteArray& trimmedLine) {
    return trimmedLine.startsWith("Error:") || trimmedLine.startsWith("**** Error");
}

QString GhostscriptErrorLine(const QByteArray& messages) {
    QByteArray named;
    QByteArray mentioned;
    const QList<QByteArray> lines = messages.split('\n');
    for (const QByteArray& line : lines) {
        const QByteArray trimmed = line.trimmed();
        if (IsGhostscriptErrorLine(trimmed)) {
            named = trimmed;
        } else if (trimmed.contains("rror")) {
            mentioned = trimmed;
        }
    }
    return ReasonText(named.isEmpty() ? mentioned : named);
}

bool BeginsLikeADocument(const QString& path) {
    static const QByteArray kDosEpsHeader = QByteArrayLiteral("\xC5\xD0\xD3\xC6");
    static const QByteArray kSignatures[] = {QByteArrayLiteral("%!"), QByteArrayLiteral("%PDF"),
                                             kDosEpsHeader};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(kDosEpsHeader.size());
    return std::any_of(std::begin(kSignatures), std::end(kSignatures),
                       [&](const QByteArray& signature) { return head.startsWith(signature); });
}

int AnnouncedPageCount(const QString& path) {
    // DSC comments stand in the header or, with "(atend)", in the trailer:
    // reading both ends keeps this cheap for large documents.
    constexpr qint64 kWindow = 64 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray head = file.read(kWindow);
    int value = pagesComment(head);
    if (value == -2 && file.size() > kWindow) {
        file.seek(std::max(kWindow, file.size() - kWindow));
        value = pagesComment(file.read(kWindow));
    }
    return value < 0 ? -1 : value;
}

} // namespace velmora
