#pragma once

#include <QString>

// Format for the fixed-point patterns the suite uses ("########0.00",
// "########0.0"): the number rounded to the pattern's decimals, every integer digit, no
// grouping, the user's decimal separator; a negative number keeps its minus sign even when
// it rounds to zero ("-0.0").
namespace platform {

QString Format(double value, const QString& pattern);
// A text that converts as a whole to a number under the user's locale is formatted as
// that number; any other text comes back unchanged.
QString Format(const QString& text, const QString& pattern);

}  // namespace platform
