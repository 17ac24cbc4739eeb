#include "correction/sql_literal.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace correction {

namespace {

bool isControl(QChar c) { return c.unicode() < 0x20; }

// N'...' pieces joined with the control characters between them, in parentheses when
// there is more than one piece.
QString textLiteral(const QString& text, Dialect dialect) {
    if (std::none_of(text.begin(), text.end(), isControl)) {
        QString literal;
        literal.reserve(text.size() + 4);
        literal += QLatin1String("N'");
        for (const QChar c : text) {
            if (c == u'\'') literal += u'\'';
            literal += c;
        }
        literal += u'\'';
        return literal;
    }
    QStringList pieces;
    QString run;
    auto flush = [&] {
        if (!run.isEmpty()) pieces << QStringLiteral("N'") + run.replace(u'\'', QStringLiteral("''")) + u'\'';
        run.clear();
    };
    for (const QChar c : text) {
        if (isControl(c)) {
            flush();
            pieces << (dialect == Dialect::SqlServer ? QStringLiteral("NCHAR(%1)") : QStringLiteral("char(%1)"))
                          .arg(c.unicode());
        } else {
            run += c;
        }
    }
    flush();
    if (pieces.isEmpty()) return QStringLiteral("N''");
    if (pieces.size() == 1) return pieces.front();
    return u'(' + pieces.join(dialect == Dialect::SqlServer ? QStringLiteral(" + ") : QStringLiteral(" || ")) + u')';
}

// The shortest text that reads back as the same double, always with a period or an
// exponent so that it stays a floating-point number.
QString doubleLiteral(double d) {
    if (std::isnan(d)) return QStringLiteral("NULL");
    if (std::isinf(d)) return d > 0 ? QStringLiteral("9e999") : QStringLiteral("-9e999");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (!text.contains(u'.') && !text.contains(u'e')) text += QStringLiteral(".0");
    return text;
}

bool isNumberText(const QString& text) {
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i].isDigit() && text[i].unicode() < 0x80) digits = true;
        else if (text[i] == u'.' && !point) point = true;
        else return false;
    }
    return digits;
}

}  // namespace

bool isExactNumber(const QSqlField& field) {
    return field.typeID() == SQL_DECIMAL || field.typeID() == SQL_NUMERIC;
}

QString literalSql(const QVariant& value, const QSqlField& field, Dialect dialect) {
    if (!value.isValid() || value.isNull()) return QStringLiteral("NULL");
    switch (value.metaType().id()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong: return QString::number(value.toLongLong());
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: return QString::number(value.toULongLong());
    case QMetaType::Float:
    case QMetaType::Double: return doubleLiteral(value.toDouble());
    case QMetaType::QByteArray: {
        const QString hex = QString::fromLatin1(value.toByteArray().toHex()).toUpper();
        return dialect == Dialect::SqlServer ? QStringLiteral("0x") + hex : QStringLiteral("X'") + hex + u'\'';
    }
    case QMetaType::QDateTime:
        return QStringLiteral("N'") + value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + u'\'';
    case QMetaType::QDate: return QStringLiteral("N'") + value.toDate().toString(QStringLiteral("yyyy-MM-dd")) + u'\'';
    case QMetaType::QTime: return QStringLiteral("N'") + value.toTime().toString(QStringLiteral("HH:mm:ss.zzz")) + u'\'';
    default: break;
    }
    const QString text = value.toString();
    if (dialect == Dialect::SqlServer && isExactNumber(field) && isNumberText(text)) return text;
    return textLiteral(text, dialect);
}

void appendEquals(QString& out, const QString& quotedColumn, const QString& literal, const QVariant& value,
                  const QSqlField& field, Dialect dialect) {
    if (literal == u"NULL") {
        out += quotedColumn;
        out += QLatin1String(" IS NULL");
        return;
    }
    const bool text = value.metaType().id() == QMetaType::QString && !(dialect == Dialect::SqlServer && isExactNumber(field));
    QLatin1String collation;
    if (dialect == Dialect::SqlServer) {
        switch (field.typeID()) {
        case SQL_LONGVARBINARY:  // image takes no "="
            out += QLatin1String("CAST(") + quotedColumn + QLatin1String(" AS varbinary(max)) = ") + literal;
            return;
        case SQL_LONGVARCHAR:
        case SQL_WLONGVARCHAR:  // text and ntext take no "="
            if (text) {
                out += QLatin1String("CAST(") + quotedColumn + QLatin1String(" AS nvarchar(max)) = ") + literal +
                       QLatin1String(" COLLATE Latin1_General_BIN2");
                return;
            }
            break;
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
            if (text) collation = QLatin1String(" COLLATE Latin1_General_BIN2");
            break;
        default: break;
        }
    } else if (text) {
        collation = QLatin1String(" COLLATE BINARY");
    }
    // Text compares exactly: a row that differs only in case is another row.
    out += quotedColumn;
    out += QLatin1String(" = ");
    out += literal;
    out += collation;
}

QString equalsSql(const QString& column, const QVariant& value, const QSqlField& field, Dialect dialect) {
    QString out;
    appendEquals(out, quotedName(column), literalSql(value, field, dialect), value, field, dialect);
    return out;
}

QString quotedName(const QString& name) {
    QString n = name;
    return u'[' + n.replace(u']', QStringLiteral("]]")) + u']';
}

QString commentText(QString text) {
    for (QChar& c : text)
        if (isControl(c) || c == QChar(0x2028) || c == QChar(0x2029) || c == QChar(0x85)) c = u' ';
    return text;
}

}  // namespace correction
