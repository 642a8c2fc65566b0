#include "base/error_trap.h"

#include "base/failure.h"
#include "base/prompter.h"

#include <exception>

namespace velmora {

const QString& ErrorTrap::supportAddress() {
    static const QString address = QStringLiteral("support@velmora.app");
    return address;
}

const QString& ErrorTrap::locationPrefix() {
    static const QString prefix = QStringLiteral("Velmora2021/08/31.");
    return prefix;
}

ErrorTrap::ErrorTrap(Prompter& prompter, QString location)
    : m_prompter(prompter), m_location(locationPrefix() + location) {}

ErrorTrap::ErrorTrap(Prompter& prompter, QString fullLocation, FullLocation)
    : m_prompter(prompter), m_location(std::move(fullLocation)) {}

ErrorTrap ErrorTrap::withFullLocation(Prompter& prompter, QString fullLocation) {
    return ErrorTrap(prompter, std::move(fullLocation), FullLocation{});
}

QString ErrorTrap::reportText(const QString& description, const QString& location, int line) {
    return description + QStringLiteral("\r\n") + QStringLiteral("in ") + location +
           QStringLiteral(" ") + QStringLiteral("at line ") + QString::number(line) +
           QStringLiteral("\r\r") + QStringLiteral("Please email screenshot of this message to ") +
           supportAddress();
}

void ErrorTrap::report(const QString& description, int line) {
    ++m_failures;
    m_prompter.message(reportText(description, m_location, line),
                       QStringLiteral("Application Error"), Prompter::Buttons::Ok,
                       Prompter::Icon::Exclamation);
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
