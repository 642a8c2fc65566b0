#include "cli/run_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace velmora {

QString WriteRunReport(const QString& path, const QList<FileOutcome>& files) {
    QSaveFile report(path);
    if (!report.open(QIODevice::WriteOnly)) {
        return report.errorString();
    }
    for (const FileOutcome& file : files) {
        const QJsonObject line{
            {QStringLiteral("source"), file.source},
            {QStringLiteral("pages"), QJsonArray::fromStringList(file.deliveredPaths)},
            {QStringLiteral("expected_pages"),
             file.expectedPages >= 0 ? QJsonValue(file.expectedPages) : QJsonValue()},
            {QStringLiteral("failure"),
             file.failed() ? QJsonValue(file.failure.text()) : QJsonValue()},
            {QStringLiteral("seconds"), file.seconds},
        };
        report.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    }
    return report.commit() ? QString() : report.errorString();
}

} // namespace velmora
