#include "platform/value_text.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace platform {

namespace {

// Windows' long time format has no time zone, and a database value carries none: the
// locale's zone field ("HH:mm:ss t") is left out, with the blanks or brackets around it.
QString withoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;
        out += c;
    }
    out.replace(QStringLiteral("()"), QString());
    return out.simplified();
}

// What a locale's conversions need, worked out once per locale rather than per cell.
struct LocaleTexts {
    QLocale locale;
    QString decimalPoint, negativeSign, shortDate, longTime, trueText, falseText;
    explicit LocaleTexts(const QLocale& l)
        : locale(l),
          decimalPoint(l.decimalPoint()),
          negativeSign(l.negativeSign()),
          shortDate(l.dateFormat(QLocale::ShortFormat)),
          longTime(withoutTimeZone(l.timeFormat(QLocale::LongFormat))) {
        // The platform names a Boolean in the user's language.
        const bool spanish = l.language() == QLocale::Spanish;
        trueText = spanish ? QStringLiteral("Verdadero") : QStringLiteral("True");
        falseText = spanish ? QStringLiteral("Falso") : QStringLiteral("False");
    }
};

const LocaleTexts& textsOf(const QLocale& locale) {
    thread_local LocaleTexts cached{locale};
    if (!(cached.locale == locale)) cached = LocaleTexts(locale);
    return cached;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

QString floatingText(double value, int significantDigits, const QLocale& locale) {
    const LocaleTexts& t = textsOf(locale);
    // What the platform writes for values a number cannot hold.
    if (std::isnan(value)) return QStringLiteral("-1") + t.decimalPoint + QStringLiteral("#IND");
    if (std::isinf(value)) return (value < 0 ? t.negativeSign : QString()) + u'1' + t.decimalPoint + QStringLiteral("#INF");
    if (value == 0) return QStringLiteral("0");  // negative zero too

    // The value rounded to its significant digits, as d.ddd...e±x, read apart.
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific,
                                   significantDigits - 1)
                         .ptr;
    const char* e = std::find(buffer, end, 'e');
    QString digits;
    for (const char* p = buffer; p < e; ++p)
        if (*p != '.') digits += QLatin1Char(*p);
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), end, exponent);
    while (digits.size() > 1 && digits.endsWith(u'0')) digits.chop(1);

    QString text = value < 0 ? t.negativeSign : QString();
    if (exponent < -4 || exponent >= significantDigits) {
        text += digits[0];
        if (digits.size() > 1) text += t.decimalPoint + digits.mid(1);
        text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        text += QString::number(std::abs(exponent)).rightJustified(2, u'0');
    } else if (exponent < 0) {
        text += u'0' + t.decimalPoint + QString(-exponent - 1, u'0') + digits;
    } else {
        const qsizetype whole = exponent + 1;
        if (digits.size() <= whole) {
            text += digits + QString(whole - digits.size(), u'0');
        } else {
            text += digits.left(whole) + t.decimalPoint + digits.mid(whole);
        }
    }
    return text;
}

QString exactNumberText(QStringView text, const QLocale& locale) {
    // [+-] digits [. digits] [e [+-] digits], with digits on at least one side of the point.
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    const qsizetype intFrom = i;
    while (i < n && isDigit(text[i])) ++i;
    const QStringView whole = text.mid(intFrom, i - intFrom);
    QStringView fraction;
    if (i < n && text[i] == u'.') {
        const qsizetype from = ++i;
        while (i < n && isDigit(text[i])) ++i;
        fraction = text.mid(from, i - from);
    }
    if (whole.isEmpty() && fraction.isEmpty()) return text.toString();
    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool minus = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) minus = text[i++] == u'-';
        const qsizetype from = i;
        while (i < n && isDigit(text[i]) && i - from < 6) exponent = exponent * 10 + text[i++].digitValue();
        if (i == from) return text.toString();
        if (minus) exponent = -exponent;
    }
    // Beyond what any engine's number reaches: not a number this shows digit by digit.
    if (i != n || exponent > 1000 || exponent < -1000) return text.toString();

    const QString all = whole.toString() + fraction.toString();
    const long long point = whole.size() + exponent;  // where the decimal point falls in `all`
    QString integer, decimals;
    if (point <= 0) {
        decimals = QString(qsizetype(-point), u'0') + all;
    } else if (point >= all.size()) {
        integer = all + QString(qsizetype(point - all.size()), u'0');
    } else {
        integer = all.left(qsizetype(point));
        decimals = all.mid(qsizetype(point));
    }
    qsizetype lead = 0;
    while (lead < integer.size() && integer[lead] == u'0') ++lead;
    integer.remove(0, lead);
    while (decimals.endsWith(u'0')) decimals.chop(1);
    if (integer.isEmpty()) integer = QStringLiteral("0");
    if (integer == u"0" && decimals.isEmpty()) return integer;  // no negative zero

    const LocaleTexts& t = textsOf(locale);
    QString out = negative ? t.negativeSign : QString();
    out += integer;
    if (!decimals.isEmpty()) out += t.decimalPoint + decimals;
    return out;
}

QString dateTimeText(const QDate& date, const QTime& time, const QLocale& locale) {
    const LocaleTexts& t = textsOf(locale);
    // Shown to the second, as the platform's dates are.
    const QTime shown = time.isValid() ? QTime(time.hour(), time.minute(), time.second()) : QTime(0, 0);
    if (!date.isValid() || date == zeroDate()) return locale.toString(shown, t.longTime);
    QString text = locale.toString(date, t.shortDate);
    if (shown != QTime(0, 0)) text += u' ' + locale.toString(shown, t.longTime);
    return text;
}

QString booleanText(bool value, const QLocale& locale) {
    const LocaleTexts& t = textsOf(locale);
    return value ? t.trueText : t.falseText;
}

QString valueText(const QVariant& value, ColumnKind kind, const QLocale& locale) {
    if (!value.isValid() || value.isNull()) return {};
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return kind == ColumnKind::ExactNumber ? exactNumberText(value.toString(), locale) : value.toString();
    case QMetaType::Double: return floatingText(value.toDouble(), 15, locale);
    case QMetaType::Float: return floatingText(double(value.toFloat()), 7, locale);
    case QMetaType::Bool: return booleanText(value.toBool(), locale);
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
    case QMetaType::Char:
        if (kind == ColumnKind::Boolean) return booleanText(value.toLongLong() != 0, locale);
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        if (kind == ColumnKind::Boolean) return booleanText(value.toULongLong() != 0, locale);
        return QString::number(value.toULongLong());
    case QMetaType::QDate: return dateTimeText(value.toDate(), QTime(0, 0), locale);
    case QMetaType::QTime: return dateTimeText(zeroDate(), value.toTime(), locale);
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dateTimeText(dt.date(), dt.time(), locale);
    }
    case QMetaType::QByteArray: return {};  // binary: nothing a reader could read
    default: return value.toString();
    }
}

}  // namespace platform
