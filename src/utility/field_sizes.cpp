#include "utility/field_sizes.h"

#include <QRegularExpression>
#include "platform/odbc_api.h"

namespace utility {

namespace {
constexpr int kSqlServerTimeType = -154;  // SQL Server's time(n)
}  // namespace

std::optional<int> definedSizeForDeclaredType(const QString& declaredType) {
    static const QRegularExpression shape(
        QStringLiteral(R"(^\s*([A-Za-z_ ]*?)\s*(?:\(\s*(\d+|MAX)\s*(?:,\s*(\d+)\s*)?\))?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = shape.match(declaredType);
    if (declaredType.trimmed().isEmpty()) return std::nullopt;
    const QString base = m.hasMatch() ? m.captured(1).toUpper().simplified() : declaredType.toUpper();
    const bool unbounded = m.hasMatch() && m.captured(2).compare(u"MAX", Qt::CaseInsensitive) == 0;
    const bool hasLength = m.hasMatch() && !m.captured(2).isEmpty() && !unbounded;
    const int length = hasLength ? m.captured(2).toInt() : 0;

    if (base == u"INT" || base == u"INTEGER") return 4;
    if (base == u"SMALLINT") return 2;
    if (base == u"TINYINT") return 1;
    if (base == u"BIGINT") return 8;
    if (base == u"BIT" || base == u"BOOLEAN") return 2;
    if (base == u"REAL") return 4;
    if (base == u"FLOAT" || base == u"DOUBLE" || base == u"DOUBLE PRECISION" || base == u"MONEY") return 8;
    if (base == u"SMALLMONEY") return 4;
    if (base == u"DECIMAL" || base == u"NUMERIC") return 19;
    if (base == u"DATE" || base == u"TIME") return 6;
    if (base.contains(u"DATETIME") || base == u"TIMESTAMP") return 16;
    if (base == u"UNIQUEIDENTIFIER") return 16;
    // Other names by SQLite's affinity rules: INT8, UNSIGNED BIG INT are 64-bit integers,
    // FLOAT8 and the like reals.
    if (base.contains(u"INT")) return 8;
    if (base.contains(u"REAL") || base.contains(u"FLOA") || base.contains(u"DOUB")) return 8;
    // SQLite keeps a text of any length in a column declared without one (and "(MAX)" says
    // so outright): such a column is as unbounded as the server's nvarchar(max).
    if (base.contains(u"CHAR") || base.contains(u"BINARY")) return hasLength ? length : kLongTextSize;
    if (base.contains(u"TEXT") || base.contains(u"CLOB") || base.contains(u"BLOB") || base == u"IMAGE")
        return kLongTextSize;
    return hasLength ? length : kLongTextSize;
}

int definedSizeForOdbcType(int sqlType, int columnSize, int decimalDigits) {
    switch (sqlType) {
    case SQL_INTEGER: return 4;
    case SQL_SMALLINT: return 2;
    case SQL_TINYINT: return 1;
    case SQL_BIGINT: return 8;
    case SQL_BIT: return 2;
    case SQL_REAL: return 4;
    case SQL_FLOAT:
    case SQL_DOUBLE: return 8;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        if (decimalDigits == 4 && columnSize == 19) return 8;  // money
        if (decimalDigits == 4 && columnSize == 10) return 4;  // smallmoney
        return 19;
    // Drivers speaking ODBC 2 (the SQLite driver, to Qt) give SQL_DATE, SQL_TIME and
    // SQL_TIMESTAMP for the same types.
    case SQL_TYPE_DATE:
    case SQL_DATE:
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case kSqlServerTimeType: return 6;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return 16;
    case SQL_GUID: return 16;
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_LONGVARBINARY: return kLongTextSize;
    default: return columnSize > 0 ? columnSize : kLongTextSize;
    }
}

}  // namespace utility
