#pragma once

// The SQLite ODBC driver behind the shim, loaded from STOCKFIX_SHIM_TARGET or, by default,
// the system's libsqlite3odbc.so.
#include <sql.h>
#include <sqlext.h>

#include <string>

#define ODBCSHIM_REAL_FUNCTIONS(X)                                                                    \
    X(SQLAllocConnect) X(SQLAllocEnv) X(SQLAllocHandle) X(SQLAllocStmt) X(SQLBindCol) X(SQLBindParam) \
    X(SQLBindParameter) X(SQLBrowseConnect) X(SQLBulkOperations) X(SQLCancel) X(SQLCloseCursor)      \
    X(SQLColAttribute) X(SQLColAttributes) X(SQLColumnPrivileges) X(SQLColumns) X(SQLConnect)        \
    X(SQLCopyDesc) X(SQLDataSources) X(SQLDescribeCol) X(SQLDescribeParam) X(SQLDisconnect)          \
    X(SQLDriverConnect) X(SQLDrivers) X(SQLEndTran) X(SQLError) X(SQLExecDirect) X(SQLExecute)       \
    X(SQLExtendedFetch) X(SQLFetch) X(SQLFetchScroll) X(SQLForeignKeys) X(SQLFreeConnect)            \
    X(SQLFreeEnv) X(SQLFreeHandle) X(SQLFreeStmt) X(SQLGetConnectAttr) X(SQLGetConnectOption)        \
    X(SQLGetCursorName) X(SQLGetData) X(SQLGetDescField) X(SQLGetDescRec) X(SQLGetDiagField)         \
    X(SQLGetDiagRec) X(SQLGetEnvAttr) X(SQLGetFunctions) X(SQLGetInfo) X(SQLGetStmtAttr)             \
    X(SQLGetStmtOption) X(SQLGetTypeInfo) X(SQLMoreResults) X(SQLNativeSql) X(SQLNumParams)          \
    X(SQLNumResultCols) X(SQLParamData) X(SQLParamOptions) X(SQLPrepare) X(SQLPrimaryKeys)           \
    X(SQLProcedureColumns) X(SQLProcedures) X(SQLPutData) X(SQLRowCount) X(SQLSetConnectAttr)        \
    X(SQLSetConnectOption) X(SQLSetCursorName) X(SQLSetDescField) X(SQLSetDescRec) X(SQLSetEnvAttr)  \
    X(SQLSetParam) X(SQLSetPos) X(SQLSetScrollOptions) X(SQLSetStmtAttr) X(SQLSetStmtOption)         \
    X(SQLSpecialColumns) X(SQLStatistics) X(SQLTablePrivileges) X(SQLTables) X(SQLTransact)

namespace odbcshim {

struct RealDriver {
#define ODBCSHIM_POINTER(name) decltype(&::name) name = nullptr;
    ODBCSHIM_REAL_FUNCTIONS(ODBCSHIM_POINTER)
#undef ODBCSHIM_POINTER
    int (*ODBCINSTGetProperties)(void*) = nullptr;
    std::string problem;  // why it could not be loaded, or empty
};

// Loaded once, on first use.
const RealDriver& realDriver();

}  // namespace odbcshim
