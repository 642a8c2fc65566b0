#include "cli/run_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace velmora {

namespace {

QJsonValue numberOrNull(qint64 value) {
    return value == FileOutcome::kUnknown ? QJsonValue() : QJsonValue(value);
}

} // namespace

RunReport::RunReport(const QString& path) : m_file(path) {}

QString RunReport::open() {
    // Unbuffered: every write() is one write to the system, so a line is
    // never left half in our memory and half in the file.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        return m_file.errorString();
    }
    m_openedSize = m_file.size();
    // The last line of a run killed on a system that writes a line in
    // pieces may lack its end: it is ended here, so it stays a damaged line
    // of its own instead of swallowing the first line of this run.
    if (m_openedSize > 0 && m_file.seek(m_openedSize - 1)) {
        char last = '\n';
        if (m_file.getChar(&last) && last != '\n') {
            write("\n");
        }
    }
    return m_writeError;
}

QByteArray RunReport::earlier() {
    if (!m_file.isOpen() || !m_file.seek(0)) {
        return {};
    }
    return m_file.read(m_openedSize);
}

void RunReport::append(const FileOutcome& outcome) {
    // After a failed write the file may end in part of a line: the lines
    // before it are what a resumed run can trust, so nothing more is added.
    if (outcome.failure.kind == FileFailure::Kind::Stopped) {
        return;
    }
    if (!m_file.isOpen() || !m_writeError.isEmpty() || !write(line(outcome))) {
        m_unwritten.append(outcome.source);
    }
}

bool RunReport::write(const QByteArray& bytes) {
    if (m_file.write(bytes) == bytes.size()) {
        return true;
    }
    if (m_writeError.isEmpty()) {
        m_writeError = m_file.errorString();
    }
    return false;
}

QByteArray RunReport::line(const FileOutcome& outcome) {
    const QJsonObject object{
        {QStringLiteral("source"), outcome.source},
        {QStringLiteral("pages"), QJsonArray::fromStringList(outcome.deliveredPaths)},
        {QStringLiteral("expected_pages"), numberOrNull(outcome.expectedPages)},
        {QStringLiteral("failure"),
         outcome.failed() ? QJsonValue(outcome.failure.text()) : QJsonValue()},
        {QStringLiteral("replaced_by"), outcome.failure.kind == FileFailure::Kind::ReplacedByLater
                                            ? QJsonValue(outcome.failure.detail)
                                            : QJsonValue()},
        {QStringLiteral("seconds"), outcome.seconds},
        {QStringLiteral("size"), numberOrNull(outcome.size)},
        {QStringLiteral("mtime"), numberOrNull(outcome.mtime)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace velmora
