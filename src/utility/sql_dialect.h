#pragma once

#include <QString>

namespace utility {

// The statements of this system are written for SQL Server. SQLite lacks two of the forms
// they use: N'...' literals and DELETE without FROM. This adapts those two and nothing
// else, never touching text inside quoted literals, quoted names or comments.
QString toSqliteDialect(const QString& sql);

}  // namespace utility
