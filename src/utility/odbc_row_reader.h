#pragma once

#include "platform/recordset.h"

#include <QString>
#include <vector>

namespace utility {

// How a column's values are fetched.
enum class OdbcFetch {
    Integer,  // 64-bit, whatever width the driver describes (the SQLite driver calls every INTEGER 32-bit)
    Double,
    Single,
    Bit,
    Binary,
    Text,     // wide characters: text, and exact numbers and dates as the engine writes them
    Dynamic,  // SQLite behind the driver: its text of the value, read back by what it holds
              // (an integer, a real, or text), as SQLite read directly gives each value
};

// One column of an executed ODBC statement: the driver's description and what it comes to.
struct OdbcColumn {
    QString name;
    int sqlType = 0;
    unsigned long long size = 0;
    int digits = 0;
    QString typeName;  // the engine's own name of the type ("decimal", "DATETIME2", "money")
    platform::ColumnKind kind = platform::ColumnKind::Plain;
    OdbcFetch fetch = OdbcFetch::Text;
    int definedSize = 0;
};

// The columns of an executed statement (`statement` is the SQLHSTMT). Exact numbers
// (decimal, numeric, money) are read as text, never through a double; dates and times as
// text read back as dates. A column the driver describes as text or as a double but whose
// type name says it is an exact number or a date (the SQLite driver's DECIMAL, NUMERIC,
// MONEY, SMALLDATETIME) is taken for what its name says, as SQLite read natively takes it.
// With `sqliteBehind`, the engine is SQLite, whose columns hold values of any type: numbers
// and Booleans are read by the value's own type, and sizes come from the declared type as
// SQLite read directly gives them.
bool describeOdbcColumns(void* statement, std::vector<OdbcColumn>& columns, QString& error, bool sqliteBehind = false);
std::vector<platform::FieldInfo> fieldsOf(const std::vector<OdbcColumn>& columns);

// Reads the rest of the statement's rows one by one into `rs` (opened with fieldsOf the
// same columns). False, with the driver's message in `error`, when a fetch fails.
bool readOdbcRows(void* statement, const std::vector<OdbcColumn>& columns, platform::Recordset& rs, QString& error);

// The driver's first message about the statement.
QString odbcDiagnostics(void* statement);

}  // namespace utility
