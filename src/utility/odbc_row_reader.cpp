#include "utility/odbc_row_reader.h"

#include "utility/column_kinds.h"
#include "utility/field_sizes.h"

#include <algorithm>
#include <climits>
#include <limits>
#include "platform/odbc_api.h"

namespace utility {

using platform::ColumnKind;

namespace {

constexpr SQLSMALLINT kSqlServerTime = -154;  // SQL Server's time(n)

QString fromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

bool isBinaryTypeName(const QString& typeName) {
    const QString t = typeName.section(u'(', 0, 0).simplified().toUpper();
    return t == u"BLOB" || t == u"IMAGE" || t == u"BINARY" || t == u"VARBINARY";
}

bool isDateTimeType(int sqlType) {
    switch (sqlType) {
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIME:
    case SQL_TIMESTAMP:
    case kSqlServerTime: return true;
    default: return false;
    }
}

void classify(OdbcColumn& c, bool sqliteBehind) {
    const ColumnKind named = columnKindForTypeName(c.typeName);
    c.kind = ColumnKind::Plain;
    c.fetch = OdbcFetch::Text;
    switch (c.sqlType) {
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIGINT: c.fetch = OdbcFetch::Integer; break;
    case SQL_BIT:
        c.kind = ColumnKind::Boolean;
        c.fetch = OdbcFetch::Bit;
        break;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        if (named == ColumnKind::ExactNumber) c.kind = named;
        else c.fetch = c.sqlType == SQL_REAL ? OdbcFetch::Single : OdbcFetch::Double;
        break;
    case SQL_DECIMAL:
    case SQL_NUMERIC: c.kind = ColumnKind::ExactNumber; break;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: c.fetch = OdbcFetch::Binary; break;
    default:
        if (isDateTimeType(c.sqlType)) c.kind = ColumnKind::Date;
        else if (named == ColumnKind::ExactNumber || named == ColumnKind::Date) c.kind = named;
        else if (isBinaryTypeName(c.typeName)) c.fetch = OdbcFetch::Binary;
    }
    c.definedSize = definedSizeForOdbcType(c.sqlType, int(std::min<unsigned long long>(c.size, INT_MAX)), c.digits);
    // A driver that describes an exact number or a date as text (or as a double) sizes it as
    // such: the type's name gives the size the engine's own type has.
    const bool describedAsItIs = c.sqlType == SQL_DECIMAL || c.sqlType == SQL_NUMERIC || isDateTimeType(c.sqlType);
    if ((c.kind == ColumnKind::ExactNumber || c.kind == ColumnKind::Date) && !describedAsItIs)
        if (const auto size = definedSizeForDeclaredType(c.typeName)) c.definedSize = *size;
    if (!sqliteBehind) return;
    // SQLite keeps any value in any column; its driver would make 1.5 in an INTEGER column 1
    // and 'abc' 0.
    if (c.fetch == OdbcFetch::Integer || c.fetch == OdbcFetch::Double || c.fetch == OdbcFetch::Single ||
        c.fetch == OdbcFetch::Bit)
        c.fetch = OdbcFetch::Dynamic;
    // The size SQLite read directly gives, where the driver's name says more than its size:
    // a number's own name (INT8, REAL), or "(MAX)". A text named without a length keeps the
    // driver's size, which tells VARCHAR(13) from VARCHAR.
    if (const auto size = definedSizeForDeclaredType(c.typeName);
        size && (c.fetch == OdbcFetch::Dynamic || c.typeName.contains(u'(')))
        c.definedSize = *size;
}

// A value as SQLite writes it: an integer, a real, or text.
QVariant dynamicValue(QStringView text, ColumnKind kind) {
    // -D+ is an integer; -D+(.D+)?(e[+-]D+)? a real, as SQLite writes them.
    auto digits = [&](qsizetype& i) {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
        return i > from;
    };
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    const bool whole = digits(i);
    const bool isInteger = whole && i == text.size();
    bool isReal = whole;
    if (isReal && i < text.size() && text[i] == u'.') isReal = digits(++i);
    if (isReal && i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
        isReal = digits(i);
    }
    isReal = isReal && i == text.size();
    QVariant number;
    if (isInteger) {
        bool ok = false;
        const qlonglong v = text.toLongLong(&ok);
        number = ok ? QVariant(v) : QVariant(text.toDouble());
    } else if (isReal) {
        number = QVariant(text.toDouble());  // QStringView::toDouble reads the C locale's form
    } else if (text == u"Inf" || text == u"-Inf") {
        number = QVariant(text.startsWith(u'-') ? -std::numeric_limits<double>::infinity()
                                                : std::numeric_limits<double>::infinity());
    } else {
        return text.toString();
    }
    if (kind == ColumnKind::Boolean) return QVariant(number.toDouble() != 0);
    return number;
}

}  // namespace

QString odbcDiagnostics(void* statement) {
    SQLWCHAR state[6] = {0};
    SQLWCHAR text[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(SQL_HANDLE_STMT, static_cast<SQLHSTMT>(statement), 1, state, &native, text, 1024,
                                      &length)))
        return {};
    return fromWide(text, std::clamp<qsizetype>(length, 0, 1023));
}

bool describeOdbcColumns(void* statement, std::vector<OdbcColumn>& columns, QString& error, bool sqliteBehind) {
    auto stmt = static_cast<SQLHSTMT>(statement);
    columns.clear();
    SQLSMALLINT count = 0;
    if (!stmt || !SQL_SUCCEEDED(SQLNumResultCols(stmt, &count))) {
        error = stmt ? odbcDiagnostics(stmt) : QString();
        return false;
    }
    columns.resize(size_t(std::max<SQLSMALLINT>(count, 0)));
    for (SQLSMALLINT i = 0; i < count; ++i) {
        OdbcColumn& c = columns[size_t(i)];
        const auto n = SQLUSMALLINT(i + 1);
        std::vector<SQLWCHAR> name(256);
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLRETURN rc = SQLDescribeColW(stmt, n, name.data(), SQLSMALLINT(name.size()), &nameLength, &type, &size, &digits,
                                       &nullable);
        if (SQL_SUCCEEDED(rc) && nameLength >= SQLSMALLINT(name.size())) {  // a longer name: ask again with room for it
            name.resize(size_t(nameLength) + 1);
            rc = SQLDescribeColW(stmt, n, name.data(), SQLSMALLINT(name.size()), &nameLength, &type, &size, &digits,
                                 &nullable);
        }
        if (!SQL_SUCCEEDED(rc)) {
            error = odbcDiagnostics(stmt);
            return false;
        }
        c.name = fromWide(name.data(), std::min<qsizetype>(nameLength, qsizetype(name.size()) - 1));
        c.sqlType = type;
        c.size = size;
        c.digits = digits;
        SQLWCHAR typeName[128] = {0};
        SQLSMALLINT typeBytes = 0;
        if (SQL_SUCCEEDED(SQLColAttributeW(stmt, n, SQL_DESC_TYPE_NAME, typeName, sizeof typeName, &typeBytes, nullptr)))
            c.typeName = fromWide(typeName, std::clamp<qsizetype>(typeBytes / qsizetype(sizeof(SQLWCHAR)), 0, 127));
        classify(c, sqliteBehind);
    }
    return true;
}

std::vector<platform::FieldInfo> fieldsOf(const std::vector<OdbcColumn>& columns) {
    std::vector<platform::FieldInfo> fields;
    fields.reserve(columns.size());
    for (const OdbcColumn& c : columns) fields.push_back({c.name, c.definedSize, c.kind});
    return fields;
}

bool readOdbcRows(void* statement, const std::vector<OdbcColumn>& columns, platform::Recordset& rs, QString& error) {
    auto stmt = static_cast<SQLHSTMT>(statement);
    if (columns.empty()) return true;  // a statement without a result: no rows to read
    std::vector<SQLWCHAR> wide(4096);
    std::vector<char> bytes(16384);
    QString text;
    QByteArray binary;
    auto fail = [&] {
        error = odbcDiagnostics(stmt);
        return false;
    };
    SQLRETURN rc;
    while (SQL_SUCCEEDED(rc = SQLFetch(stmt))) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const OdbcColumn& c = columns[i];
            const auto n = SQLUSMALLINT(i + 1);
            SQLLEN indicator = 0;
            switch (c.fetch) {
            case OdbcFetch::Integer: {
                SQLBIGINT v = 0;
                if (!SQL_SUCCEEDED(SQLGetData(stmt, n, SQL_C_SBIGINT, &v, sizeof v, &indicator))) return fail();
                rs.append(indicator == SQL_NULL_DATA ? QVariant() : QVariant(qlonglong(v)), indicator == SQL_NULL_DATA);
                break;
            }
            case OdbcFetch::Double: {
                SQLDOUBLE v = 0;
                if (!SQL_SUCCEEDED(SQLGetData(stmt, n, SQL_C_DOUBLE, &v, sizeof v, &indicator))) return fail();
                rs.append(indicator == SQL_NULL_DATA ? QVariant() : QVariant(double(v)), indicator == SQL_NULL_DATA);
                break;
            }
            case OdbcFetch::Single: {
                SQLREAL v = 0;
                if (!SQL_SUCCEEDED(SQLGetData(stmt, n, SQL_C_FLOAT, &v, sizeof v, &indicator))) return fail();
                rs.append(indicator == SQL_NULL_DATA ? QVariant() : QVariant(float(v)), indicator == SQL_NULL_DATA);
                break;
            }
            case OdbcFetch::Bit: {
                SQLCHAR v = 0;
                if (!SQL_SUCCEEDED(SQLGetData(stmt, n, SQL_C_BIT, &v, sizeof v, &indicator))) return fail();
                rs.append(indicator == SQL_NULL_DATA ? QVariant() : QVariant(v != 0), indicator == SQL_NULL_DATA);
                break;
            }
            case OdbcFetch::Binary: {
                binary.clear();
                bool null = false;
                for (;;) {
                    const SQLRETURN got = SQLGetData(stmt, n, SQL_C_BINARY, bytes.data(), SQLLEN(bytes.size()), &indicator);
                    if (got == SQL_NO_DATA) break;
                    if (!SQL_SUCCEEDED(got)) return fail();
                    if (indicator == SQL_NULL_DATA) {
                        null = true;
                        break;
                    }
                    const SQLLEN room = SQLLEN(bytes.size());
                    binary.append(bytes.data(), indicator == SQL_NO_TOTAL || indicator > room ? room : indicator);
                    if (got == SQL_SUCCESS) break;  // with info: cut short, the rest follows
                }
                rs.append(null ? QVariant() : QVariant(binary), null);
                break;
            }
            case OdbcFetch::Dynamic:
            case OdbcFetch::Text: {
                const qsizetype room = qsizetype(wide.size()) - 1;  // characters, the terminator aside
                SQLRETURN got = SQLGetData(stmt, n, SQL_C_WCHAR, wide.data(), SQLLEN(wide.size() * sizeof(SQLWCHAR)), &indicator);
                if (!SQL_SUCCEEDED(got)) return fail();
                if (indicator == SQL_NULL_DATA) {
                    rs.append(QVariant(), true);
                    break;
                }
                auto charsGot = [&] {
                    return indicator == SQL_NO_TOTAL || indicator / SQLLEN(sizeof(SQLWCHAR)) > room
                               ? room
                               : qsizetype(indicator / SQLLEN(sizeof(SQLWCHAR)));
                };
                QStringView value(reinterpret_cast<const char16_t*>(wide.data()), charsGot());
                if (got != SQL_SUCCESS) {  // longer than the buffer: gather the pieces
                    text = value.toString();
                    for (;;) {
                        got = SQLGetData(stmt, n, SQL_C_WCHAR, wide.data(), SQLLEN(wide.size() * sizeof(SQLWCHAR)), &indicator);
                        if (got == SQL_NO_DATA) break;
                        if (!SQL_SUCCEEDED(got)) return fail();
                        text.append(reinterpret_cast<const QChar*>(wide.data()), charsGot());
                        if (got == SQL_SUCCESS) break;
                    }
                    value = text;
                }
                if (c.fetch == OdbcFetch::Dynamic) rs.append(dynamicValue(value, c.kind));
                else if (c.kind == ColumnKind::Date) rs.append(dateCellFromText(value));
                else rs.appendText(value);
                break;
            }
            }
        }
    }
    if (rc != SQL_NO_DATA) return fail();
    return true;
}

}  // namespace utility
