#pragma once

#include <QString>

namespace utility {

// The statements of this system are written for SQL Server. SQLite lacks two of the forms
// they use: N'...' literals and DELETE without FROM. This adapts those two and nothing
// else, never touching text inside quoted literals, quoted names or comments.
QString toSqliteDialect(const QString& sql);

// For the SQLite ODBC driver, which takes statements as 8-bit text and cuts each half of a
// character beyond 16 bits to its low byte (a smiley becomes "='"): every '...' literal
// holding such a character is written as CAST(X'<its UTF-8 bytes>' AS TEXT) instead. Such a
// character outside a literal cannot be sent at all: `sendable` turns false.
QString withNarrowLiterals(const QString& sqliteSql, bool* sendable);

}  // namespace utility
