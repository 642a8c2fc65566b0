#include "cli/console_progress.h"

#include <cstdio>
#include <unistd.h>

namespace velmora {

namespace {

const QString kProcessing = QStringLiteral("Processing: ");
// Carriage return and "erase to the end of the line".
constexpr const char* kRewriteLine = "\r\033[K";

} // namespace

ConsoleProgress::ConsoleProgress() : m_terminal(::isatty(STDERR_FILENO) == 1) {}

void ConsoleProgress::setValue(double percent) {
    m_percent = percent;
    show();
}

void ConsoleProgress::setText(const QString& text) {
    if (text.startsWith(kProcessing)) {
        m_text = text;
        show();
    } else if (!m_text.isEmpty()) {
        // The run is over: the bar's line goes away on a terminal.
        m_text.clear();
        if (m_terminal) {
            std::fputs(kRewriteLine, stderr);
            std::fflush(stderr);
        }
    }
}

void ConsoleProgress::show() {
    if (m_text.isEmpty()) {
        return;
    }
    const QByteArray line =
        QStringLiteral("[%1%] %2").arg(m_percent, 3, 'f', 0).arg(m_text).toUtf8();
    if (m_terminal) {
        std::fprintf(stderr, "%s%s", kRewriteLine, line.constData());
    } else if (m_text != m_printed) {
        m_printed = m_text;
        std::fprintf(stderr, "%s\n", line.constData());
    }
    std::fflush(stderr);
}

} // namespace velmora
