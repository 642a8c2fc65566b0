#include "base/error_trap.h"

#include "base/failure.h"
#include "base/problem.h"
#include "base/prompter.h"
#include "base/report_locations.h"

#include <exception>

namespace velmora {

const QString& ErrorTrap::supportAddress() {
    static const QString address = QStringLiteral("support@velmora.app");
    return address;
}

const QString& ErrorTrap::locationPrefix() {
    static const QString prefix = report_location::kProductPrefix.toString();
    return prefix;
}

namespace {

ErrorTrap::Sink promptingSink(Prompter& prompter) {
    return [&prompter](const Problem& problem) { prompter.problem(problem); };
}

} // namespace

ErrorTrap::ErrorTrap(Sink sink, QString fullLocation, FullLocation)
    : m_sink(std::move(sink)), m_location(std::move(fullLocation)) {}

ErrorTrap ErrorTrap::withFullLocation(Prompter& prompter, QString fullLocation) {
    return withFullLocation(promptingSink(prompter), std::move(fullLocation));
}

ErrorTrap ErrorTrap::withFullLocation(Sink sink, QString fullLocation) {
    return ErrorTrap(std::move(sink), std::move(fullLocation), FullLocation{});
}

QString ErrorTrap::reportText(const QString& description, const QString& location, int line) {
    return description + QStringLiteral("\r\n") + QStringLiteral("in ") + location +
           QStringLiteral(" ") + QStringLiteral("at line ") + QString::number(line) +
           QStringLiteral("\r\r") + QStringLiteral("Please email screenshot of this message to ") +
           supportAddress();
}

void ErrorTrap::report(const QString& description, int line) {
    ++m_failures;
    m_sink(Problem{description, m_location, line});
}

bool ErrorTrap::step(int line, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const Failure& failure) {
        report(failure.description(), line);
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()), line);
    } catch (...) {
        report(QStringLiteral("Unexpected failure"), line);
    }
    return false;
}

bool ErrorTrap::test(int line, const std::function<bool()>& condition) {
    bool result = true;
    step(line, [&] { result = condition(); });
    return result;
}

} // namespace velmora
