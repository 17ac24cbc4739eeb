#pragma once

#include <QStringList>

namespace platform {

// The SQL Server ODBC drivers this platform's machines have, in the order they are tried
// when none is named (STOCKFIX_ODBC_DRIVER).
QStringList usualSqlServerDrivers();

}  // namespace platform
