// Whether and what to tell the desktop when a run ends.
#pragma once

#include "convert/run_summary.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace velmora {

class DesktopNotifier;

// A long run is often left to itself while the user works elsewhere: when it
// ends, one desktop notice says how it went, and clicking it brings the
// window back. A short run, or one that ends while the user looks at the
// window, needs no notice: the "Done." box tells it.
class RunEndNotice {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Runs shorter than this are still being watched when they end.
    static constexpr std::chrono::seconds kLongRun{10};

    // notifier may be null (no notices). `windowActive` says whether the user
    // is at the window now; `bringToFront` is what clicking the notice does.
    RunEndNotice(DesktopNotifier* notifier, Clock clock, std::function<bool()> windowActive,
                 std::function<void()> bringToFront);

    // The run got past its checks and converts from now on.
    void runStarted();
    // The run has ended; sends the notice when it is worth one.
    void runEnded(const RunSummary& summary);

    static QString title();
    // "8 files converted, 212 pages", or "7 of 8 files converted; 1 failed".
    static QString bodyText(const RunSummary& summary);

private:
    bool worthTelling(const RunSummary& summary,
                      std::chrono::steady_clock::time_point started) const;

    DesktopNotifier* m_notifier;
    Clock m_clock;
    std::function<bool()> m_windowActive;
    std::function<void()> m_bringToFront;
    std::optional<std::chrono::steady_clock::time_point> m_started;
};

} // namespace velmora
