#pragma once

#include <QByteArray>
#include <QString>

namespace velmora::test {

// Writes bytes to path, creating its folder; returns the path. A file that
// cannot be written fails the running test.
QString WriteFile(const QString& path, const QByteArray& bytes);

// The whole content of a file; empty when it cannot be read.
QByteArray ReadFile(const QString& path);

} // namespace velmora::test
