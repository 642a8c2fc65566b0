#include "convert/ghostscript_report.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

namespace velmora {

namespace {

constexpr qsizetype MaxReasonLength = 160;

QString tidy(const QByteArray& line) {
    QString text = QString::fromUtf8(line).trimmed();
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter) {
            c = QLatin1Char('?');
        }
    }
    if (text.size() > MaxReasonLength) {
        text = text.left(MaxReasonLength - 3) + QStringLiteral("...");
    }
    return text;
}

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

QString GhostscriptErrorLine(const QByteArray& messages) {
    QString lastMention;
    const QList<QByteArray> lines = messages.split('\n');
    for (const QByteArray& line : lines) {
        if (line.trimmed().startsWith("Error:")) {
            return tidy(line);
        }
        if (line.contains("rror")) {
            lastMention = tidy(line);
        }
    }
    return lastMention;
}

int AnnouncedPageCount(const QString& path) {
    // DSC comments stand in the header or, with "(atend)", in the trailer:
    // reading both ends keeps this cheap for large documents.
    constexpr qint64 Window = 64 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray head = file.read(Window);
    int value = pagesComment(head);
    if (value == -2 && file.size() > Window) {
        file.seek(std::max(Window, file.size() - Window));
        value = pagesComment(file.read(Window));
    }
    return value < 0 ? -1 : value;
}

} // namespace velmora
