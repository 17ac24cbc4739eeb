#include "utility/odbc_block_reader.h"

#include "utility/odbc_row_reader.h"

#include <QScopeGuard>
#include <algorithm>
#include "platform/odbc_api.h"
#include <vector>

namespace utility {

namespace {

bool blockFetchOn = true;
BlockRead lastRead = BlockRead::NotSuitable;

constexpr SQLULEN kBlockRows = 1024;
// Wide rows (many long columns) get fewer rows per block, so a block stays within this.
constexpr size_t kBlockBytes = size_t(16) << 20;
// Texts longer than this many characters (text, ntext, nvarchar(max), ...) are read row by row.
constexpr SQLULEN kLongestBound = 4000;

bool isBoundedText(SQLSMALLINT type, SQLULEN size) {
    switch (type) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_LONGVARCHAR:  // some drivers (SQLite's) call any text over 255 long
    case SQL_WLONGVARCHAR: return size > 0 && size <= kLongestBound;
    default: return false;
    }
}

// Unbinds and takes the block settings back, so the statement reads row by row again.
void unbind(SQLHSTMT stmt) {
    SQLFreeStmt(stmt, SQL_UNBIND);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
}

}  // namespace

void setOdbcBlockFetch(bool on) { blockFetchOn = on; }
bool odbcBlockFetch() { return blockFetchOn; }
BlockRead lastOdbcBlockRead() { return lastRead; }

namespace {
BlockRead readBlocks(void* statement, platform::Recordset& rs, QString& error);
}

BlockRead readOdbcBlocks(void* statement, platform::Recordset& rs, QString& error) {
    return lastRead = readBlocks(statement, rs, error);
}

namespace {

BlockRead readBlocks(void* statement, platform::Recordset& rs, QString& error) {
    auto stmt = static_cast<SQLHSTMT>(statement);
    if (!blockFetchOn || !stmt) return BlockRead::NotSuitable;
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &columns)) || columns <= 0 || columns != rs.fieldCount())
        return BlockRead::NotSuitable;
    // Exact numbers and dates kept as text still have to be read as what they are.
    for (int c = 0; c < columns; ++c)
        if (rs.fields(c).kind() != platform::ColumnKind::Plain) return BlockRead::NotSuitable;
    std::vector<SQLLEN> width(static_cast<size_t>(columns));  // characters per cell, the terminator included
    for (SQLSMALLINT c = 0; c < columns; ++c) {
        SQLSMALLINT type = 0, digits = 0, nullable = 0, nameLength = 0;
        SQLULEN size = 0;
        SQLWCHAR name[2];
        if (!SQL_SUCCEEDED(SQLDescribeColW(stmt, SQLUSMALLINT(c + 1), name, 2, &nameLength, &type, &size, &digits, &nullable)) ||
            !isBoundedText(type, size))
            return BlockRead::NotSuitable;
        // Room beyond the declared size: some engines (SQLite) keep longer texts anyway.
        width[size_t(c)] = SQLLEN(std::max<SQLULEN>(size, 255) + 1);
    }

    size_t rowBytes = 0;
    for (SQLLEN w : width) rowBytes += size_t(w) * sizeof(SQLWCHAR) + sizeof(SQLLEN);
    const SQLULEN blockRows = std::clamp<SQLULEN>(SQLULEN(kBlockBytes / rowBytes), 16, kBlockRows);

    const auto unbound = qScopeGuard([stmt] { unbind(stmt); });
    SQLULEN fetched = 0;
    std::vector<SQLUSMALLINT> status(blockRows);
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) ||
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(blockRows), 0) != SQL_SUCCESS ||
        !SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0)) ||
        !SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, status.data(), 0)))
        return BlockRead::NotSuitable;  // the driver would not fetch blocks (or not of this size)
    std::vector<std::vector<SQLWCHAR>> buffers(static_cast<size_t>(columns));
    std::vector<std::vector<SQLLEN>> lengths(static_cast<size_t>(columns), std::vector<SQLLEN>(blockRows));
    for (SQLSMALLINT c = 0; c < columns; ++c) {
        buffers[size_t(c)].resize(blockRows * size_t(width[size_t(c)]));
        if (!SQL_SUCCEEDED(SQLBindCol(stmt, SQLUSMALLINT(c + 1), SQL_C_WCHAR, buffers[size_t(c)].data(),
                                      width[size_t(c)] * SQLLEN(sizeof(SQLWCHAR)), lengths[size_t(c)].data())))
            return BlockRead::NotSuitable;
    }

    SQLRETURN rc;
    while (SQL_SUCCEEDED(rc = SQLFetch(stmt))) {
        for (SQLULEN r = 0; r < fetched; ++r) {
            if (status[r] != SQL_ROW_SUCCESS && status[r] != SQL_ROW_SUCCESS_WITH_INFO) {
                error = odbcDiagnostics(stmt);
                return BlockRead::Restart;
            }
            for (SQLSMALLINT c = 0; c < columns; ++c) {
                const SQLLEN n = lengths[size_t(c)][r];
                if (n == SQL_NULL_DATA) {
                    rs.append(QVariant(), true);
                } else if (n < 0 || n >= width[size_t(c)] * SQLLEN(sizeof(SQLWCHAR))) {
                    return BlockRead::Restart;  // cut short: only a row-by-row read gets it whole
                } else {
                    const auto* chars = reinterpret_cast<const char16_t*>(&buffers[size_t(c)][r * size_t(width[size_t(c)])]);
                    rs.appendText(QStringView(chars, qsizetype(n / SQLLEN(sizeof(SQLWCHAR)))));
                }
            }
        }
    }
    if (rc != SQL_NO_DATA) {
        error = odbcDiagnostics(stmt);
        return BlockRead::Restart;
    }
    return BlockRead::Done;
}

}  // namespace

}  // namespace utility
