#pragma once

#include <QString>
#include <QStringList>

namespace utility {

// What an ODBC connection to SQL Server is made of.
struct OdbcLogin {
    QString server, database, user, password;
};

// ODBC drivers installed on this machine, as the driver manager lists them.
QStringList installedOdbcDrivers();
// The driver for SQL Server: the environment variable STOCKFIX_ODBC_DRIVER, or the first
// of the usual ones among `installed`; empty when there is none.
QString sqlServerDriver(const QStringList& installed);
// True when STOCKFIX_ODBC_DRIVER names the driver, so the installed ones need not be listed.
bool sqlServerDriverConfigured();
// The connection text for `driver`; the password only when asked for.
QString odbcConnectionText(const QString& driver, const OdbcLogin& login, bool withPassword);
// The SQLite ODBC driver: it creates a missing file unless told not to.
bool isSqliteOdbcDriver(const QString& driver);

}  // namespace utility
