#include "cli/console_progress.h"

#include "base/path_helpers.h"

#include <cstdio>
#include <unistd.h>

namespace velmora {

namespace {

// Carriage return and "erase to the end of the line".
constexpr const char* kRewriteLine = "\r\033[K";

} // namespace

ConsoleProgress::ConsoleProgress(RunReport* report)
    : m_report(report), m_terminal(::isatty(STDERR_FILENO) == 1) {}

void ConsoleProgress::fileEnded(const FileOutcome& outcome) {
    if (m_report != nullptr) {
        m_report->append(outcome);
    }
}

void ConsoleProgress::progressed(const RunProgress& progress) {
    m_percent = progress.percent;
    if (!progress.source.isEmpty()) {
        m_text = QStringLiteral("Processing: ") + GetFileName(progress.source);
    }
    show();
}

void ConsoleProgress::problem(const Problem& problem) {
    erase();
    std::fprintf(stderr, "velmora-convert: %s\n",
                 problem.description.simplified().toUtf8().constData());
    show();
}

void ConsoleProgress::finish() {
    erase();
    m_text.clear();
}

void ConsoleProgress::erase() {
    if (m_terminal && !m_text.isEmpty()) {
        std::fputs(kRewriteLine, stderr);
        std::fflush(stderr);
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
