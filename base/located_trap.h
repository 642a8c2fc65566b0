#pragma once

#include "base/error_trap.h"
#include "base/report_locations.h"

#include <functional>
#include <utility>

namespace velmora {

class Prompter;

// An ErrorTrap for one location of base/report_locations.h, which takes only
// that location's steps: a step of another location does not compile.
template <typename Location> class LocatedTrap {
public:
    using Step = ReportStep<Location>;

    explicit LocatedTrap(Prompter& prompter)
        : m_trap(ErrorTrap::withFullLocation(prompter, report_location::FullText<Location>())) {}
    // Failed steps go to `sink` instead of a box (the engine's way).
    explicit LocatedTrap(ErrorTrap::Sink sink)
        : m_trap(ErrorTrap::withFullLocation(std::move(sink),
                                             report_location::FullText<Location>())) {}

    // Runs one step; false when it failed (after reporting it).
    bool step(Step at, const std::function<void()>& body) { return m_trap.step(at.line, body); }
    // A branch or loop test: one that fails is reported and counts as true.
    bool test(Step at, const std::function<bool()>& condition) {
        return m_trap.test(at.line, condition);
    }
    // The step for a helper that reports through this trap.
    ErrorTrap::BoundStep bind(Step at) { return {m_trap, at.line}; }

    const QString& location() const { return m_trap.location(); }
    int failures() const { return m_trap.failures(); }

private:
    ErrorTrap m_trap;
};

} // namespace velmora
