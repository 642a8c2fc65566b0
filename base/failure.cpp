#include "base/failure.h"

#include <QFileDevice>

namespace velmora {

Failure::Failure(QString description, qint64 number)
    : m_description(std::move(description)), m_number(number), m_utf8(m_description.toUtf8()) {}

Failure Failure::fromFile(const QFileDevice& file, const QString& action) {
    return Failure(
        QStringLiteral("Could not %1 %2: %3").arg(action, file.fileName(), file.errorString()));
}

} // namespace velmora
