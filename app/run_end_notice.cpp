#include "app/run_end_notice.h"

#include "app/desktop_notifier.h"
#include "app/startup_helpers.h"

#include <utility>

namespace velmora {

namespace {

// "1 file", "0 files", "212 pages".
QString counted(qsizetype count, const QString& one, const QString& many) {
    return QString::number(count) + QLatin1Char(' ') + (count == 1 ? one : many);
}

} // namespace

RunEndNotice::RunEndNotice(DesktopNotifier* notifier, Clock clock,
                           std::function<bool()> windowActive, std::function<void()> bringToFront)
    : m_notifier(notifier), m_clock(std::move(clock)), m_windowActive(std::move(windowActive)),
      m_bringToFront(std::move(bringToFront)) {}

QString RunEndNotice::title() {
    return ProductName();
}

QString RunEndNotice::bodyText(const RunSummary& summary) {
    qsizetype failed = 0;
    qsizetype pages = 0;
    for (const FileOutcome& file : summary.files) {
        failed += file.failed() ? 1 : 0;
        pages += file.delivered;
    }
    const QString files =
        counted(summary.files.size(), QStringLiteral("file"), QStringLiteral("files"));
    if (failed == 0) {
        return files + QStringLiteral(" converted, ") +
               counted(pages, QStringLiteral("page"), QStringLiteral("pages"));
    }
    return QStringLiteral("%1 of %2 converted; %3 failed")
        .arg(summary.files.size() - failed)
        .arg(files)
        .arg(failed);
}

void RunEndNotice::runStarted() {
    m_started = m_clock();
}

void RunEndNotice::runEnded(const RunSummary& summary) {
    const auto started = std::exchange(m_started, std::nullopt);
    if (m_notifier == nullptr || !started || !worthTelling(summary, *started)) {
        return;
    }
    m_notifier->notify(title(), bodyText(summary), m_bringToFront);
}

bool RunEndNotice::worthTelling(const RunSummary& summary,
                                std::chrono::steady_clock::time_point started) const {
    // A run the user stopped was stopped from the window, with Esc and a
    // question answered there: the user is at the window already, and the
    // "Stopped." box says the rest. A cancelled run ended with the window.
    if (summary.status != RunSummary::Status::Converted) {
        return false;
    }
    if (m_clock() - started < kLongRun) {
        return false;
    }
    return !(m_windowActive && m_windowActive());
}

} // namespace velmora
