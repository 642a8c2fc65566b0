#include "cli/report_ledger.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace velmora {

ReportLedger ReportLedger::read(const QByteArray& text) {
    ReportLedger ledger;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QByteArray& line = lines.at(index);
        // The end of the text, or a line made blank by hand: nothing to read.
        if (line.trimmed().isEmpty()) {
            continue;
        }
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        const QJsonObject object = document.object();
        const QJsonValue source = object.value(QStringLiteral("source"));
        if (error.error != QJsonParseError::NoError || !document.isObject() || !source.isString() ||
            source.toString().isEmpty()) {
            if (ledger.m_damagedLine == 0) {
                ledger.m_damagedLine = static_cast<int>(index + 1);
            }
            continue;
        }
        // Only an explicit null is a success: a line without the key says
        // nothing of how the source ended. A source whose pages a later one
        // replaced is done too: converting it again would only undo that.
        const QJsonValue failure = object.value(QStringLiteral("failure"));
        const bool replaced = object.value(QStringLiteral("replaced_by")).isString();
        const SourceStamp stamp{
            object.value(QStringLiteral("size")).toInteger(SourceStamp::kUnknown),
            object.value(QStringLiteral("mtime")).toInteger(SourceStamp::kUnknown)};
        if ((failure.isNull() || replaced) && stamp.known()) {
            ledger.m_converted.insert(source.toString(), stamp);
        } else {
            ledger.m_converted.remove(source.toString());
        }
    }
    return ledger;
}

bool ReportLedger::converted(const QString& source, const SourceStamp& now) const {
    const auto found = m_converted.constFind(source);
    return found != m_converted.cend() && found->matches(now);
}

QStringList ReportLedger::remaining(const QStringList& sources, const StampOf& stampOf) const {
    QStringList left;
    for (const QString& source : sources) {
        if (!converted(source, stampOf(source))) {
            left.append(source);
        }
    }
    return left;
}

} // namespace velmora
