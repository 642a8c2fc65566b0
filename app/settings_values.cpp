#include "app/settings_values.h"

#include "base/error_numbers.h"
#include "base/failure.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace velmora {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

struct Scan {
    double value = 0.0;
    qsizetype length = 0; // characters read, blanks included; 0: no number
};

// Reads the number at the start of text (after blanks) without any locale:
// the decimal mark is always ".".
Scan scanNumber(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        ++i;
    }
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        qsizetype j = i + 1;
        qsizetype fraction = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            digits += fraction;
            i = j;
        }
    }
    if (digits == 0) {
        return {};
    }
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            ++j;
        }
        const qsizetype exponentStart = j;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
        }
        if (j > exponentStart) {
            i = j;
        }
    }
    // Only ASCII has been accepted, so the Latin-1 form is exact.
    const std::string ascii = text.mid(start, i - start).toLatin1().toStdString();
    return {std::strtod(ascii.c_str(), nullptr), i};
}

} // namespace

double LeadingNumber(QStringView text) {
    return scanNumber(text).value;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double lower = std::floor(value);
    const double rest = value - lower;
    if (rest < 0.5) {
        return lower;
    }
    if (rest > 0.5) {
        return lower + 1.0;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

int QualityFromText(const QString& text) {
    const double quality = RoundHalfEven(LeadingNumber(text));
    if (!(quality >= 0.0 && quality <= 100.0)) {
        throw Failure(QStringLiteral("Invalid property value"),
                      error_number::kInvalidPropertyValue);
    }
    return static_cast<int>(quality);
}

bool TruthFromText(const QString& text) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    const Scan number = scanNumber(word);
    if (number.length == 0 || number.length != word.size()) {
        throw Failure(QStringLiteral("Type mismatch"), error_number::kTypeMismatch);
    }
    return number.value != 0.0;
}

QString TruthText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace velmora
