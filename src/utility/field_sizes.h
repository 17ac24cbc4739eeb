#pragma once

#include <QString>
#include <optional>

// A field's defined size as the data objects reported it: character columns their declared
// length, 4 for a 4-byte integer, 2 for a 2-byte integer, 8 for a float or money value.
namespace utility {

// An unbounded text (text, nvarchar(max)), as SQL Server's driver reports one.
constexpr int kLongTextSize = 1073741823;

// From a SQLite declared type ("NVARCHAR(40)", "INT", "MONEY"); nothing for no type. Text
// and binary types without a length, or with "(MAX)", are unbounded.
std::optional<int> definedSizeForDeclaredType(const QString& declaredType);
// From an ODBC column description: SQL data type, column size and decimal digits.
int definedSizeForOdbcType(int sqlType, int columnSize, int decimalDigits);

}  // namespace utility
