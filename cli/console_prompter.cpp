#include "cli/console_prompter.h"

#include <cstdio>

namespace velmora {

namespace {

void print(std::FILE* stream, const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fputs(lines.toUtf8().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

Prompter::Answer ConsolePrompter::message(const QString& text, const QString&, Buttons buttons,
                                          Icon icon, const QString&) {
    if (icon == Icon::Exclamation || icon == Icon::Critical) {
        print(stderr, QStringLiteral("velmora-convert: ") + text.simplified());
    } else {
        print(stdout, text);
    }
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

// A window's error box adds where in the program the failure happened and a
// request to mail a screenshot; on a terminal only the description counts,
// on one line.
void ConsolePrompter::problem(const Problem& problem) {
    print(stderr, QStringLiteral("velmora-convert: ") + problem.description.simplified());
}

std::optional<QString> ConsolePrompter::askText(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

QStringList ConsolePrompter::pickFiles(const QString&, const QString&, const QString&) {
    return {};
}

QString ConsolePrompter::pickFolder(const QString&, const QString&) {
    return {};
}

} // namespace velmora
