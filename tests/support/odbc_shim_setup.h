#pragma once

// The test ODBC driver that presents itself as SQL Server (tests/support/odbc_shim), made
// known to unixODBC, and the fixture tables it reads SQL Server's metadata from.
#include <QList>
#include <QString>

namespace testsupport {

// The driver's name for DRIVER={...} in connection texts.
inline constexpr char kOdbcShimDriver[] = "StockfixShim";

// Writes an odbcinst.ini listing the drivers "StockfixShim" (the shim) and "SQLite3" (as
// the system lists it) into a folder of its own and points ODBCSYSINI, ODBCINSTINI and
// ODBCINI there, for this process and every program it starts afterwards. unixODBC takes
// those variables once per process, at its first look at its configuration: call this
// before anything in the process uses ODBC. Later calls change nothing. Returns why the
// drivers are not usable, or an empty text.
QString registerOdbcShim();

QString odbcShimLibrary();
// DRIVER={StockfixShim};DATABASE=<file>;
QString odbcShimConnectionText(const QString& databaseFile);

// A column as sys.columns tells it; `type` is SQL Server's type name (nvarchar, int,
// timestamp, ...), `maxLength` in bytes as SQL Server counts them (-1 for max).
struct ShimColumn {
    QString name;
    QString type;
    int maxLength = 0;
    int precision = 0;
    int scale = 0;
    bool identity = false;
    bool computed = false;
    bool nullable = true;
};

// Describes `table` in the SQLite file's tables standing for sys.objects, sys.columns and
// sys.types (shim_sys_objects, shim_sys_columns, shim_sys_types, made when missing, with
// SQL Server's column names), in place of an earlier description of it. Returns why it
// failed, or an empty text.
QString describeShimTable(const QString& databaseFile, const QString& table, const QList<ShimColumn>& columns);

}  // namespace testsupport
