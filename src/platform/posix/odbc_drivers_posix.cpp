#include "platform/odbc_drivers.h"

namespace platform {

// Microsoft's drivers for Linux, then FreeTDS (Debian's tdsodbc).
QStringList usualSqlServerDrivers() {
    return {QStringLiteral("ODBC Driver 18 for SQL Server"), QStringLiteral("ODBC Driver 17 for SQL Server"),
            QStringLiteral("FreeTDS")};
}

}  // namespace platform
