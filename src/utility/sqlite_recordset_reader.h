#pragma once

#include "platform/recordset.h"

#include <QString>

struct sqlite3;

namespace utility {

// Reads a SELECT's rows into `rs` straight through SQLite's own interface: each text goes
// from the engine into the recordset's buffer without a QVariant or a QString on the way.
// Raises a database error, or "no command text" for a statement of nothing but blanks.
void readSqliteRecordset(sqlite3* db, const QString& sql, platform::Recordset& rs);

}  // namespace utility
