#include "platform/text_rules.h"

#include "platform/runtime_error.h"

#include <charconv>
#include <cmath>

namespace platform {

QString LTrim(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ') ++i;
    return text.mid(i);
}

QString RTrim(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') --n;
    return text.left(n);
}

QString Trim(const QString& text) { return TrimView(text).toString(); }

int InStrNoCase(int start, const QString& text, const QString& find) {
    if (start < 1) throw RuntimeError::of(kInvalidProcedureCall);
    if (start > text.size()) return 0;
    qsizetype at = text.indexOf(find, start - 1, Qt::CaseInsensitive);
    return at < 0 ? 0 : int(at + 1);
}

bool EqualsNoCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

namespace {

bool ignoredInVal(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

double radixVal(const QString& digits, int radix) {
    double v = 0;
    for (QChar c : digits) {
        if (ignoredInVal(c)) continue;
        int d = c.isDigit() ? c.digitValue() : (radix == 16 && c.toUpper() >= u'A' && c.toUpper() <= u'F')
                                                   ? c.toUpper().unicode() - u'A' + 10
                                                   : -1;
        if (d < 0 || d >= radix) break;
        v = v * radix + d;
    }
    return v;
}

}  // namespace

double Val(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (!ignoredInVal(c)) s.append(c);

    if (s.size() >= 2 && s[0] == u'&') {
        QChar kind = s[1].toUpper();
        if (kind == u'H') return radixVal(s.mid(2), 16);
        if (kind == u'O') return radixVal(s.mid(2), 8);
    }

    QByteArray number;
    qsizetype i = 0;
    auto digits = [&] {
        qsizetype from = i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') number.append(char(s[i++].unicode()));
        return i - from;
    };
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) number.append(char(s[i++].unicode()));
    qsizetype mantissa = digits();
    if (i < s.size() && s[i] == u'.') {
        number.append('.');
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0;
    if (i < s.size() && (s[i].toUpper() == u'E' || s[i].toUpper() == u'D')) {
        qsizetype mark = i;
        QByteArray exponent("e");
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) exponent.append(char(s[i++].unicode()));
        qsizetype from = i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') exponent.append(char(s[i++].unicode()));
        if (i > from) number.append(exponent);
        else i = mark;
    }
    // Val reads the period whatever the process locale is: from_chars knows no locale.
    double v = 0;
    const char* from = number.constData();
    if (*from == '+') ++from;  // from_chars takes a minus sign only
    const auto [end, error] = std::from_chars(from, number.constData() + number.size(), v);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        if (number.contains("e-")) return 0;  // too small: what is left is 0
        throw RuntimeError::of(kOverflow);
    }
    if (std::isinf(v)) throw RuntimeError::of(kOverflow);
    return v;
}

double RoundHalfEven(double value) { return std::nearbyint(value); }  // default FE_TONEAREST

int16_t CInt(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0)) throw RuntimeError::of(kOverflow);
    return int16_t(r);
}

int32_t CLng(double value) {
    double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw RuntimeError::of(kOverflow);
    return int32_t(r);
}

int16_t CheckedInt16(long long value) {
    if (value < -32768 || value > 32767) throw RuntimeError::of(kOverflow);
    return int16_t(value);
}

}  // namespace platform
