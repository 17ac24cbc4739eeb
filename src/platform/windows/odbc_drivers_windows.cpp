#include "platform/odbc_drivers.h"

namespace platform {

// The current drivers, then the older ones; "SQL Server" comes with every Windows.
QStringList usualSqlServerDrivers() {
    return {QStringLiteral("ODBC Driver 18 for SQL Server"), QStringLiteral("ODBC Driver 17 for SQL Server"),
            QStringLiteral("SQL Server Native Client 11.0"), QStringLiteral("SQL Server")};
}

}  // namespace platform
