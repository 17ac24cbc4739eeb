#pragma once

#include <QString>
#include <cstdint>

// The text and number rules every part of the program follows, each written once. None of
// them depends on the process locale: Val reads the period and only the period.
namespace platform {

// Trimming removes blanks (code 32) only; tabs and other white space stay.
QString LTrim(const QString& text);
QString RTrim(const QString& text);
QString Trim(const QString& text);
// Without the leading and trailing spaces; inline, as sorts and searches call it per row.
inline QStringView TrimView(QStringView text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == u' ') ++from;
    while (to > from && text[to - 1] == u' ') --to;
    return text.mid(from, to - from);
}

// 1-based position of `find` in `text` from `start`, ignoring case; 0 when absent.
int InStrNoCase(int start, const QString& text, const QString& find);
bool EqualsNoCase(const QString& a, const QString& b);

// The number at the start of a text, a period as the decimal point whatever the locale.
// Blanks, tabs and line feeds are ignored wherever they stand; &H and &O prefixes read
// hexadecimal and octal.
double Val(const QString& text);

// Nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

// Checked conversions of the 16- and 32-bit integer types: beyond their range they raise
// the overflow error (6). Fractions round halves to even first.
int16_t CInt(double value);
int32_t CLng(double value);
int16_t CheckedInt16(long long value);

}  // namespace platform
