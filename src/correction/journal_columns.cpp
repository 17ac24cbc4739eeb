#include "correction/journal_columns.h"

#include "platform/runtime_error.h"
#include "utility/data_access.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>
#include <QDateTime>
#include <QTime>
#include <charconv>
#include <cmath>

namespace correction {

JournalColumns journalColumnsAsRead(utility::DataAccess& session, Dialect dialect);

using journal::Comparison;
using journal::Literal;
using Kind = JournalColumn::Kind;

namespace {

[[noreturn]] void cannotWrite(const QString& column, const QString& why) {
    throw platform::RuntimeError(platform::kDatabaseError,
                                 QStringLiteral("la columna %1 de %2 %3: el diario no podría reponerla exactamente, "
                                                "así que no se borra nada")
                                     .arg(column, QLatin1String(journal::kTable), why));
}

// The shortest text that reads back as the same double, always with a period or an
// exponent so that it stays a floating-point number.
QString doubleText(double d) {
    if (std::isinf(d)) return d > 0 ? QStringLiteral("9e999") : QStringLiteral("-9e999");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (!text.contains(u'.') && !text.contains(u'e')) text += QStringLiteral(".0");
    return text;
}

// SQL Server's base type names and how each travels.
std::optional<Kind> kindOfType(const QString& type) {
    static const struct {
        const char* name;
        Kind kind;
    } kinds[] = {
        {"bigint", Kind::Number},        {"int", Kind::Number},          {"smallint", Kind::Number},
        {"tinyint", Kind::Number},       {"bit", Kind::Number},          {"float", Kind::Number},
        {"real", Kind::Number},          {"decimal", Kind::Exact},       {"numeric", Kind::Exact},
        {"money", Kind::Exact},          {"smallmoney", Kind::Exact},    {"char", Kind::Text},
        {"varchar", Kind::Text},         {"nchar", Kind::Text},          {"nvarchar", Kind::Text},
        {"sysname", Kind::Text},         {"text", Kind::LongText},       {"ntext", Kind::LongText},
        {"xml", Kind::LongText},         {"binary", Kind::Binary},       {"varbinary", Kind::Binary},
        {"image", Kind::LongBinary},     {"geography", Kind::Spatial},   {"geometry", Kind::Spatial},
        {"hierarchyid", Kind::Spatial},  {"date", Kind::IsoDate},        {"datetime", Kind::IsoDate},
        {"datetime2", Kind::IsoDate},    {"smalldatetime", Kind::IsoDate}, {"time", Kind::IsoDate},
        {"datetimeoffset", Kind::IsoDateOffset}, {"uniqueidentifier", Kind::Guid},
    };
    for (const auto& k : kinds)
        if (type == QLatin1String(k.name)) return k.kind;
    return std::nullopt;
}

Literal textOf(const QVariant& value) { return journal::textLiteral(value.toString()); }

}  // namespace

Literal valueLiteral(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return journal::nullLiteral();
    switch (value.metaType().id()) {
    case QMetaType::Bool: return journal::numberLiteral(value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong: return journal::numberLiteral(QString::number(value.toLongLong()));
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: return journal::numberLiteral(QString::number(value.toULongLong()));
    case QMetaType::Float:
    case QMetaType::Double: {
        const double d = value.toDouble();
        return std::isnan(d) ? journal::nullLiteral() : journal::numberLiteral(doubleText(d));
    }
    case QMetaType::QByteArray: return journal::binaryLiteral(value.toByteArray());
    case QMetaType::QDateTime:
        return journal::textLiteral(value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
    case QMetaType::QDate: return journal::textLiteral(value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
    case QMetaType::QTime: return journal::textLiteral(value.toTime().toString(QStringLiteral("HH:mm:ss.zzz")));
    default: return textOf(value);
    }
}

QString JournalColumn::readExpression() const {
    const QString c = quoted();
    switch (kind) {
    case Kind::Dynamic:
        return c;
    case Kind::EngineLiteral:
        // quote() writes integers and reals so that SQLite reads back the same value, and
        // blobs as X'..'; text goes as its bytes, so no character depends on the driver.
        return QStringLiteral("CASE typeof(%1) WHEN 'text' THEN 'CAST(X''' || hex(%1) || ''' AS TEXT)' "
                              "ELSE quote(%1) END")
            .arg(c);
    case Kind::Exact:
        if (type == u"money" || type == u"smallmoney")
            return QStringLiteral("CAST(CAST(%1 AS decimal(19, 4)) AS varchar(60)) AS %1").arg(c);
        return QStringLiteral("CAST(%1 AS varchar(60)) AS %1").arg(c);
    case Kind::LongText:
        return type == u"xml" ? QStringLiteral("CONVERT(nvarchar(max), %1) AS %1").arg(c) : c;
    case Kind::Spatial: return QStringLiteral("CAST(%1 AS varbinary(max)) AS %1").arg(c);
    case Kind::IsoDate:
    case Kind::IsoDateOffset: return QStringLiteral("CONVERT(nvarchar(40), %1, 126) AS %1").arg(c);
    case Kind::Guid: return QStringLiteral("CONVERT(nvarchar(36), %1) AS %1").arg(c);
    case Kind::Number:
    case Kind::Text:
    case Kind::Binary:
    case Kind::LongBinary: return c;
    }
    return c;
}

Literal JournalColumn::literal(const QVariant& value) const {
    if (!value.isValid() || value.isNull()) return journal::nullLiteral();
    switch (kind) {
    case Kind::Dynamic: return valueLiteral(value);
    case Kind::EngineLiteral: {
        QString text = value.toString();
        if (text == u"Inf") text = QStringLiteral("9e999");  // what SQLite reads as infinity
        else if (text == u"-Inf") text = QStringLiteral("-9e999");
        if (text == u"NULL") return journal::nullLiteral();
        if (journal::isNumberText(text)) return journal::numberLiteral(text);
        if (auto parsed = journal::parseLiteral(text, Dialect::Sqlite)) return *parsed;
        cannotWrite(name, QStringLiteral("dio un valor que no es un literal de SQLite"));
    }
    case Kind::Number: {
        const Literal l = valueLiteral(value);
        if (l.kind != Literal::Kind::Number) cannotWrite(name, QStringLiteral("dio un valor que no es un número"));
        return l;
    }
    case Kind::Exact: {
        const QString digits = value.toString().trimmed();
        if (!journal::isNumberText(digits)) cannotWrite(name, QStringLiteral("dio un número que no se lee exacto"));
        return journal::numberLiteral(digits);
    }
    case Kind::Text:
    case Kind::LongText: return textOf(value);
    case Kind::IsoDate:
    case Kind::IsoDateOffset:
    case Kind::Guid: {
        // Never an empty literal: SQL Server would take it for 1900-01-01 without a word.
        const QString text = value.toString();
        if (text.isEmpty()) cannotWrite(name, QStringLiteral("dio un valor vacío"));
        return journal::textLiteral(text);
    }
    case Kind::Binary:
    case Kind::LongBinary: return journal::binaryLiteral(value.toByteArray());
    case Kind::Spatial: return Literal{Literal::Kind::TypedBinary, type, value.toByteArray()};
    }
    return valueLiteral(value);
}

Comparison JournalColumn::comparison(const Literal& value) const {
    if (value.kind == Literal::Kind::Null) return Comparison::IsNull;
    switch (kind) {
    case Kind::Dynamic: return value.kind == Literal::Kind::Text ? Comparison::Binary : Comparison::Plain;
    case Kind::EngineLiteral: return Comparison::Binary;
    case Kind::Text: return Comparison::Bin2Length;
    case Kind::LongText: return Comparison::LongTextLength;
    case Kind::Binary: return Comparison::BinaryLength;
    case Kind::LongBinary:
    case Kind::Spatial: return Comparison::CastBinaryLength;
    case Kind::IsoDateOffset: return Comparison::IsoText;
    case Kind::Number:
    case Kind::Exact:
    case Kind::IsoDate:
    case Kind::Guid: return Comparison::Plain;
    }
    return Comparison::Plain;
}

QStringList JournalColumns::quotedNames() const {
    QStringList names;
    for (const JournalColumn& c : columns) names << c.quoted();
    return names;
}

std::optional<JournalColumn> sqlServerColumn(const QString& name, const QString& typeName, bool identity, bool computed) {
    const QString type = typeName.trimmed().toLower();
    if (computed || type == u"timestamp" || type == u"rowversion") return std::nullopt;
    const auto kind = kindOfType(type);
    if (!kind) cannotWrite(name, QStringLiteral("es de tipo %1").arg(type));
    return JournalColumn{name, type, *kind, identity};
}

QString sqlServerColumnsQuery() {
    return QStringLiteral(
        "SELECT c.name, COALESCE(TYPE_NAME(c.system_type_id), t.name) AS type_name, c.is_identity, c.is_computed "
        "FROM sys.columns AS c JOIN sys.types AS t ON t.user_type_id = c.user_type_id "
        "WHERE c.object_id = OBJECT_ID(N'V_MV_Stock') ORDER BY c.column_id");
}

namespace {

// Every statement of the journal stays on one line, its names too.
void requireOneLineName(const QString& name) {
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; }))
        cannotWrite(QString(name).replace(QRegularExpression(QStringLiteral("[\\x00-\\x1f]")), QStringLiteral("?")),
                    QStringLiteral("tiene en su nombre un carácter de control"));
}

}  // namespace

JournalColumns journalColumns(utility::DataAccess& session, Dialect dialect) {
    JournalColumns out = journalColumnsAsRead(session, dialect);
    for (const JournalColumn& c : out.columns) requireOneLineName(c.name);
    return out;
}

JournalColumns journalColumnsAsRead(utility::DataAccess& session, Dialect dialect) {
    JournalColumns out;
    if (dialect == Dialect::Sqlite) {
        const bool engineLiterals = session.backend() != utility::Backend::NativeSqlite;
        const QStringList names =
            session.OpenQuery(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(QLatin1String(journal::kTable))).columnNames();
        for (const QString& name : names)
            out.columns.push_back({name, {}, engineLiterals ? Kind::EngineLiteral : Kind::Dynamic, false});
        return out;
    }
    utility::Statement q = session.OpenQuery(sqlServerColumnsQuery());
    while (q.next()) {
        const QString name = q.value(0).toString();
        const auto column = sqlServerColumn(name, q.value(1).toString(), q.value(2).toInt() == 1, q.value(3).toInt() == 1);
        if (!column) {
            out.generated << name;  // the engine writes these; an insert may not
            continue;
        }
        out.columns.push_back(*column);
        out.identity = out.identity || column->identity;
    }
    if (out.columns.empty())
        throw platform::RuntimeError(platform::kDatabaseError,
                                     QStringLiteral("no se pudieron leer las columnas de %1").arg(QLatin1String(journal::kTable)));
    return out;
}

}  // namespace correction
