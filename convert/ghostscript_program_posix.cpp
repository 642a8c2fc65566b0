#include "convert/ghostscript_program.h"

#include <QStandardPaths>

namespace velmora {

QString DefaultGhostscript() {
    return QStringLiteral("gs");
}

QString FindGhostscript(const QString& asked) {
    return QStandardPaths::findExecutable(asked);
}

} // namespace velmora
