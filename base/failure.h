#pragma once

#include <QString>

#include <exception>

class QFileDevice;

namespace velmora {

// A run-time failure of one step: a readable description and, where the
// failure has a run-time error number (53 "File not found", ...), that number.
class Failure : public std::exception {
public:
    explicit Failure(QString description, qint64 number = 0);

    const QString& description() const { return m_description; }
    qint64 number() const { return m_number; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    // "Could not open …: Permission denied" from a failed QFile/QSaveFile.
    static Failure fromFile(const QFileDevice& file, const QString& action);

private:
    QString m_description;
    qint64 m_number;
    QByteArray m_utf8;
};

} // namespace velmora
