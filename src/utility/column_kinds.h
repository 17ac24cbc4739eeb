#pragma once

#include "platform/value_text.h"

#include <QString>
#include <QStringView>
#include <QVariant>

// What a column's type says of its values, read the same way from SQLite's declared types
// and from the type names ODBC drivers report, so both paths to one database agree.
namespace utility {

// "DECIMAL(38,10)", "money", "DATETIME2", "bit", "NVARCHAR(40)": exact numbers, dates and
// times, Booleans, or plain values.
platform::ColumnKind columnKindForTypeName(const QString& typeName);

// A date column's cell from its text: a QDate, QTime or QDateTime for an ISO 8601 date,
// time of day or both ("2003-02-17", "10:15:00.123", "2003-02-17T10:15:00", a trailing Z
// allowed), kept as it reads, in no time zone; any other text stays that text.
QVariant dateCellFromText(QStringView text);

}  // namespace utility
