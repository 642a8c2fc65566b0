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

// A window's error box ends with where in the program the failure happened and
// a request to mail a screenshot; on a terminal only the description counts,
// on one line.
QString problemLine(const QString& text, const QString& title) {
    QString description = text;
    if (title == QStringLiteral("Application Error")) {
        const qsizetype location = description.lastIndexOf(QStringLiteral("\r\nin "));
        if (location >= 0) {
            description.truncate(location);
        }
    }
    return description.simplified();
}

} // namespace

Prompter::Answer ConsolePrompter::message(const QString& text, const QString& title,
                                          Buttons buttons, Icon icon, const QString&) {
    if (icon == Icon::Exclamation || icon == Icon::Critical) {
        print(stderr, QStringLiteral("velmora-convert: ") + problemLine(text, title));
    } else {
        print(stdout, text);
    }
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
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
