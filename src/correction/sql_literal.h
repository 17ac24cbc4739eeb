#pragma once

#include <QSqlField>
#include <QString>
#include <QVariant>

// Values written back as SQL text, exactly: what a journal needs to put a row back.
namespace correction {

// The engine that will read the text back.
enum class Dialect { SqlServer, Sqlite };

// The literal of a value from a row's record: N'...' text (quotes doubled, control
// characters as NCHAR/char pieces so that the literal stays on one line), numbers with a
// period and every digit, dates in ISO 8601, binary as 0x... (X'...' on SQLite), NULL.
// `field` tells an exact number read as text (SQL Server decimals) from plain text.
QString literalSql(const QVariant& value, const QSqlField& field, Dialect dialect);

// "[col] = literal", exact (binary collation for text), or "[col] IS NULL", appended to
// `out`; `literal` is literalSql's for the value, `quotedColumn` quotedName's.
void appendEquals(QString& out, const QString& quotedColumn, const QString& literal, const QVariant& value,
                  const QSqlField& field, Dialect dialect);
QString equalsSql(const QString& column, const QVariant& value, const QSqlField& field, Dialect dialect);

// A column name between brackets, as both engines read it.
QString quotedName(const QString& name);

// Text safe inside a one-line "--" comment: control characters become blanks.
QString commentText(QString text);

// Whether an ODBC field is an exact number (decimal, numeric, money) that must travel as text.
bool isExactNumber(const QSqlField& field);

}  // namespace correction
