#pragma once

#include <QString>
#include <QStringView>

// How stored setting texts become control values and back. No widget is
// needed, so the rules can be checked on their own.
namespace velmora {

// The number a text starts with: leading blanks, an optional sign, digits
// with an optional fraction, an optional exponent. 0 when the text does not
// start with a number ("80abc" gives 80, "abc" gives 0).
double LeadingNumber(QStringView text);

// The nearest whole number; a half goes to the even neighbour (50.5 gives 50,
// 51.5 gives 52).
double RoundHalfEven(double value);

// The quality slider position that a stored text gives: its leading number,
// rounded half to even. Throws Failure 380 when that lies outside 0 to 100.
int QualityFromText(const QString& text);

// A stored truth value: "True" or "False" in any letter case, or a number
// (0 is false, any other number true), blanks around it allowed. Throws
// Failure 13 for anything else.
bool TruthFromText(const QString& text);

// How a truth value is stored: "True" or "False".
QString TruthText(bool value);

} // namespace velmora
