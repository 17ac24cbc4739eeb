#pragma once

#include <QDate>
#include <QLocale>
#include <QTime>
#include <QString>
#include <QVariant>

// A database value as the user reads it: the platform's conversion of a value to text, in
// the user's locale. Values themselves stay typed and locale-free; only what is shown (a
// list cell) goes through here.
namespace platform {

// What a column holds, where the value's own type does not say it all.
enum class ColumnKind {
    Plain,        // each value shown by its own type; text as it is
    ExactNumber,  // decimal, numeric, money: kept as the engine's locale-free text, every digit
    Date,         // date and time types: dates, times or both; a text that is no date stays text
    Boolean,      // bit: a value other than 0 is true
};

// Integers as their digits; floating values with up to 15 significant digits (7 for a
// single-precision one), in fixed notation unless the decimal exponent is below -4 or at
// least the number of digits ("1E+16", "1E-05"), the locale's decimal separator, no
// grouping; exact numbers with every digit and no trailing zeros after the point; dates in
// the locale's short date format with the time (long format, without a time zone) when it
// is not midnight, and the time alone on the zero date 1899-12-30; Booleans as the
// locale's words for true and false; binary values as the empty text; text unchanged;
// Null as the empty text.
QString valueText(const QVariant& value, ColumnKind kind, const QLocale& locale);

// The parts, for callers that know what they hold.
QString floatingText(double value, int significantDigits, const QLocale& locale);
// `text` an exact decimal number ("-1234.5000", ".5", "1.0e+16"); any other text unchanged.
QString exactNumberText(QStringView text, const QLocale& locale);
QString dateTimeText(const QDate& date, const QTime& time, const QLocale& locale);
QString booleanText(bool value, const QLocale& locale);

// The zero of the platform's dates: a date value on it is a time of day alone.
inline QDate zeroDate() { return QDate(1899, 12, 30); }

}  // namespace platform
