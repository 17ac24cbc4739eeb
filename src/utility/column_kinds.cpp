#include "utility/column_kinds.h"

#include <QDateTime>
#include <optional>

namespace utility {

using platform::ColumnKind;

ColumnKind columnKindForTypeName(const QString& typeName) {
    QString base = typeName;
    const qsizetype paren = base.indexOf(u'(');
    if (paren >= 0) base.truncate(paren);
    base = base.simplified().toUpper();
    if (base == u"DECIMAL" || base == u"NUMERIC" || base == u"MONEY" || base == u"SMALLMONEY") return ColumnKind::ExactNumber;
    if (base == u"DATE" || base == u"DATETIME" || base == u"DATETIME2" || base == u"SMALLDATETIME" || base == u"TIME" ||
        base == u"TIMESTAMP")
        return ColumnKind::Date;
    if (base == u"BIT" || base == u"BOOLEAN" || base == u"BOOL") return ColumnKind::Boolean;
    return ColumnKind::Plain;
}

namespace {

// Exactly `count` digits at `at`, or nothing.
std::optional<int> digitsAt(QStringView text, qsizetype at, int count) {
    if (at + count > text.size()) return std::nullopt;
    int value = 0;
    for (int k = 0; k < count; ++k) {
        const QChar c = text[at + k];
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<QDate> dateAt(QStringView text) {
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-') return std::nullopt;
    const auto y = digitsAt(text, 0, 4), m = digitsAt(text, 5, 2), d = digitsAt(text, 8, 2);
    if (!y || !m || !d) return std::nullopt;
    const QDate date(*y, *m, *d);
    if (!date.isValid()) return std::nullopt;
    return date;
}

// HH:MM[:SS[.fraction]][Z], the whole of `text`.
std::optional<QTime> timeOf(QStringView text) {
    if (text.endsWith(u'Z')) text.chop(1);
    if (text.size() < 5 || text[2] != u':') return std::nullopt;
    const auto h = digitsAt(text, 0, 2), m = digitsAt(text, 3, 2);
    if (!h || !m) return std::nullopt;
    int s = 0, ms = 0;
    qsizetype at = 5;
    if (at < text.size()) {
        if (text[at] != u':') return std::nullopt;
        const auto sec = digitsAt(text, at + 1, 2);
        if (!sec) return std::nullopt;
        s = *sec;
        at += 3;
        if (at < text.size()) {
            if (text[at] != u'.' || at + 1 >= text.size() || text.size() - at - 1 > 9) return std::nullopt;
            int scale = 100;
            for (qsizetype k = at + 1; k < text.size(); ++k) {
                const QChar c = text[k];
                if (c < u'0' || c > u'9') return std::nullopt;
                ms += (c.unicode() - u'0') * scale;  // milliseconds kept, finer digits dropped
                scale /= 10;
            }
        }
    }
    const QTime time(*h, *m, s, ms);
    if (!time.isValid()) return std::nullopt;
    return time;
}

}  // namespace

QVariant dateCellFromText(QStringView text) {
    if (const auto date = dateAt(text)) {
        if (text.size() == 10) return *date;
        if (text[10] == u'T' || text[10] == u' ')
            if (const auto time = timeOf(text.mid(11))) return QDateTime(*date, *time, Qt::UTC);
    } else if (const auto time = timeOf(text)) {
        return *time;
    }
    return text.toString();
}

}  // namespace utility
