#pragma once

#include <QString>

namespace testsupport {

// The name under which the SQLite3 ODBC driver finds a database file. On POSIX and on Windows
// it is the file's own name. Under Wine the driver is the machine's Linux one, reached through
// Wine's odbc32, so it gets the file's Unix name, which the Windows side reads as the same file
// through Wine's drive for the root folder.
QString odbcFileName(const QString& path);

}  // namespace testsupport
