#include "support/odbc_file_name.h"

namespace testsupport {

QString odbcFileName(const QString& path) { return path; }

}  // namespace testsupport
