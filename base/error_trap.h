#pragma once

#include <QString>

#include <functional>

namespace velmora {

class Prompter;
struct Problem;

// The program's one way of reporting run-time failures: a procedure runs its
// numbered steps through a trap; a step that throws is reported in the
// "Application Error" box with its location and number, and the procedure
// goes on with the next step. Procedures use it through LocatedTrap, whose
// steps are named in base/report_locations.h.
class ErrorTrap {
public:
    using Sink = std::function<void(const Problem&)>;

    // A box for each failed step, or (with a sink) a value handed on: code
    // that never talks to the user (the engine) passes problems on.
    static ErrorTrap withFullLocation(Prompter& prompter, QString fullLocation);
    static ErrorTrap withFullLocation(Sink sink, QString fullLocation);

    // One step of a trap, handed to a helper that has no trap of its own:
    // the helper's failures are reported under the caller's location with
    // this step's number.
    class BoundStep {
    public:
        BoundStep(ErrorTrap& trap, int line) : m_trap(&trap), m_line(line) {}
        bool run(const std::function<void()>& body) const { return m_trap->step(m_line, body); }

    private:
        ErrorTrap* m_trap;
        int m_line;
    };

    // Runs one step; returns false when it failed (after reporting it).
    bool step(int line, const std::function<void()>& body);

    // A branch or loop test: a test that fails is reported and counts as true,
    // so the procedure enters the branch (the step after the failing test is
    // the first one inside it).
    bool test(int line, const std::function<bool()>& condition);

    const QString& location() const { return m_location; }
    int failures() const { return m_failures; }

    // The box's text for a description, location and line.
    static QString reportText(const QString& description, const QString& location, int line);

    static const QString& supportAddress();
    static const QString& locationPrefix();

private:
    struct FullLocation {};
    ErrorTrap(Sink sink, QString fullLocation, FullLocation);
    void report(const QString& description, int line);

    Sink m_sink;
    QString m_location;
    int m_failures = 0;
};

} // namespace velmora
