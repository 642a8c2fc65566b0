#include "cli/console_progress.h"

#include <cstdio>

namespace velmora {

void ConsoleProgress::setText(const QString& text) {
    if (text.startsWith(QStringLiteral("Processing: "))) {
        std::fprintf(stderr, "[%3.0f%%] %s\n", m_percent, text.toUtf8().constData());
        std::fflush(stderr);
    }
}

} // namespace velmora
