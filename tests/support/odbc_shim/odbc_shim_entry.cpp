// The driver's entry points. The SQLite driver's handles are handed out as the shim's own,
// so most calls go straight through; the W functions take UTF-16 from the driver manager
// and speak UTF-8 to the SQLite driver, which has only the narrow ones.
#include "real_driver.h"
#include "shim_batches.h"
#include "shim_log_writer.h"
#include "shim_state.h"
#include "shim_text.h"

#include <odbcinstext.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace odbcshim;

#define CALL(name, ...) (realDriver().name ? realDriver().name(__VA_ARGS__) : SQLRETURN(SQL_ERROR))

namespace {

// The shim's own diagnostics last until the handle's next call.
void enter(SQLHANDLE handle) {
    if (handle) clearDiagnostics(handle);
}

// A statement's prepared batch and answered results end where a catalog call starts.
void forget(SQLHSTMT stmt) {
    const auto st = statementOf(stmt);
    st->prepared.reset();
    st->answered = false;
}

int connectionNumber(SQLHDBC dbc) {
    const auto c = connectionOf(dbc);
    return c ? c->id : 0;
}

// A call whose text output the shim converted: cut short means 01004, as drivers say it.
SQLRETURN finish(SQLHANDLE handle, SQLRETURN rc, bool fitted) {
    if (fitted || !SQL_SUCCEEDED(rc)) return rc;
    postDiagnostic(handle, {"01004", 0, "String data, right truncated"});
    return SQL_SUCCESS_WITH_INFO;
}

template <class T>
void setLength(T* out, SQLLEN value) {
    if (out) *out = T(value);
}

// Calls `call(buffer, capacity, &length)` of the SQLite driver with room for its whole text.
template <class Call>
SQLRETURN readNarrow(std::string& out, Call call) {
    std::vector<char> buffer(2048, 0);
    SQLLEN length = 0;
    SQLRETURN rc = call(buffer.data(), SQLLEN(buffer.size()), &length);
    if (SQL_SUCCEEDED(rc) && length >= SQLLEN(buffer.size()) && length < 1 << 24) {
        buffer.assign(size_t(length) + 1, 0);
        rc = call(buffer.data(), SQLLEN(buffer.size()), &length);
    }
    if (SQL_SUCCEEDED(rc)) out.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
    return rc;
}

SQLSMALLINT small(SQLLEN capacity) { return SQLSMALLINT(std::min<SQLLEN>(capacity, 32767)); }
SQLINTEGER integer(SQLLEN capacity) { return SQLINTEGER(std::min<SQLLEN>(capacity, 1 << 30)); }

// A W function's text argument as the SQLite driver takes it; a null pointer stays null.
struct Narrow {
    Narrow(const SQLWCHAR* wide, SQLLEN length) : null(!wide), text(utf8FromWide(wide, length)) {}
    // An attribute's value, whose length counts bytes.
    static Narrow ofBytes(const void* wide, SQLINTEGER bytes) {
        return Narrow(static_cast<const SQLWCHAR*>(wide), bytes < 0 ? SQLLEN(bytes) : SQLLEN(bytes) / SQLLEN(sizeof(SQLWCHAR)));
    }
    SQLCHAR* data() { return null ? nullptr : reinterpret_cast<SQLCHAR*>(text.data()); }
    SQLSMALLINT nts() const { return null ? 0 : SQL_NTS; }
    bool null;
    std::string text;
};

std::u16string wideText(const SQLWCHAR* text, SQLLEN length) {
    if (!text) return {};
    if (length == SQL_NTS) {
        length = 0;
        while (text[length]) ++length;
    }
    length = withoutTerminator(text, length);
    return std::u16string(reinterpret_cast<const char16_t*>(text), size_t(std::max<SQLLEN>(length, 0)));
}

SQLCHAR* sqlText(std::string& s) { return reinterpret_cast<SQLCHAR*>(s.data()); }

// What SQL Server tells about itself.
const char* serverInfo(SQLUSMALLINT type) {
    switch (type) {
    case SQL_DBMS_NAME: return "Microsoft SQL Server";
    case SQL_DBMS_VER: return "16.00.1000";
    default: return nullptr;
    }
}

bool isTextInfo(SQLUSMALLINT type) {
    switch (type) {
    case SQL_ACCESSIBLE_PROCEDURES: case SQL_ACCESSIBLE_TABLES: case SQL_CATALOG_NAME:
    case SQL_CATALOG_NAME_SEPARATOR: case SQL_CATALOG_TERM: case SQL_COLLATION_SEQ: case SQL_COLUMN_ALIAS:
    case SQL_DATA_SOURCE_NAME: case SQL_DATA_SOURCE_READ_ONLY: case SQL_DATABASE_NAME: case SQL_DBMS_NAME:
    case SQL_DBMS_VER: case SQL_DESCRIBE_PARAMETER: case SQL_DM_VER: case SQL_DRIVER_NAME: case SQL_DRIVER_ODBC_VER:
    case SQL_DRIVER_VER: case SQL_EXPRESSIONS_IN_ORDERBY: case SQL_IDENTIFIER_QUOTE_CHAR: case SQL_INTEGRITY:
    case SQL_KEYWORDS: case SQL_LIKE_ESCAPE_CLAUSE: case SQL_MAX_ROW_SIZE_INCLUDES_LONG: case SQL_MULT_RESULT_SETS:
    case SQL_MULTIPLE_ACTIVE_TXN: case SQL_NEED_LONG_DATA_LEN: case SQL_ODBC_VER: case SQL_ORDER_BY_COLUMNS_IN_SELECT:
    case SQL_OUTER_JOINS: case SQL_PROCEDURE_TERM: case SQL_PROCEDURES: case SQL_ROW_UPDATES: case SQL_SCHEMA_TERM:
    case SQL_SEARCH_PATTERN_ESCAPE: case SQL_SERVER_NAME: case SQL_SPECIAL_CHARACTERS: case SQL_TABLE_TERM:
    case SQL_USER_NAME: case SQL_XOPEN_CLI_YEAR: return true;
    default: return false;
    }
}

// Column attributes and descriptor fields that are texts.
bool isTextField(SQLUSMALLINT field) {
    switch (field) {
    case SQL_COLUMN_NAME: case SQL_DESC_BASE_COLUMN_NAME: case SQL_DESC_BASE_TABLE_NAME: case SQL_DESC_CATALOG_NAME:
    case SQL_DESC_LABEL: case SQL_DESC_LITERAL_PREFIX: case SQL_DESC_LITERAL_SUFFIX: case SQL_DESC_LOCAL_TYPE_NAME:
    case SQL_DESC_NAME: case SQL_DESC_SCHEMA_NAME: case SQL_DESC_TABLE_NAME: case SQL_DESC_TYPE_NAME: return true;
    default: return false;
    }
}

bool isTextConnectAttr(SQLINTEGER attr) {
    return attr == SQL_ATTR_CURRENT_CATALOG || attr == SQL_ATTR_TRACEFILE || attr == SQL_ATTR_TRANSLATE_LIB;
}

bool isTextDiagField(SQLSMALLINT field) {
    switch (field) {
    case SQL_DIAG_SQLSTATE: case SQL_DIAG_MESSAGE_TEXT: case SQL_DIAG_CLASS_ORIGIN: case SQL_DIAG_SUBCLASS_ORIGIN:
    case SQL_DIAG_CONNECTION_NAME: case SQL_DIAG_SERVER_NAME: case SQL_DIAG_DYNAMIC_FUNCTION: return true;
    default: return false;
    }
}

std::string originOf(const std::string& state) {
    return state.compare(0, 2, "HY") == 0 || state.compare(0, 2, "IM") == 0 ? "ODBC 3.0" : "ISO 9075";
}

void logAutocommit(SQLHDBC dbc, SQLINTEGER attr, SQLULEN value) {
    if (attr == SQL_ATTR_AUTOCOMMIT)
        logCall(value == SQL_AUTOCOMMIT_OFF ? "autocommit off" : "autocommit on", connectionNumber(dbc), 0);
}

// A diagnostic field of the shim's own records.
SQLRETURN ownDiagField(const std::vector<ServerError>& own, SQLSMALLINT record, SQLSMALLINT field, SQLPOINTER info,
                       SQLSMALLINT capacity, SQLSMALLINT* length, bool wide) {
    const auto text = [&](const std::string& s) {
        SQLLEN full = 0;
        const bool fitted = wide ? putWide(s, info, capacity, &full, true) : putNarrow(s, info, capacity, &full);
        setLength(length, full);
        return fitted ? SQLRETURN(SQL_SUCCESS) : SQLRETURN(SQL_SUCCESS_WITH_INFO);
    };
    const auto number = [&](auto value) {
        if (info) std::memcpy(info, &value, sizeof value);
        return SQLRETURN(SQL_SUCCESS);
    };
    if (record == 0) {
        const bool warnings = std::all_of(own.begin(), own.end(), [](const ServerError& e) { return e.sqlState.compare(0, 2, "01") == 0; });
        switch (field) {
        case SQL_DIAG_NUMBER: return number(SQLINTEGER(own.size()));
        case SQL_DIAG_RETURNCODE: return number(SQLRETURN(warnings ? SQL_SUCCESS_WITH_INFO : SQL_ERROR));
        case SQL_DIAG_ROW_COUNT:
        case SQL_DIAG_CURSOR_ROW_COUNT: return number(SQLLEN(0));
        case SQL_DIAG_DYNAMIC_FUNCTION: return text("");
        case SQL_DIAG_DYNAMIC_FUNCTION_CODE: return number(SQLINTEGER(SQL_DIAG_UNKNOWN_STATEMENT));
        default: return SQL_ERROR;
        }
    }
    if (record < 0) return SQL_ERROR;
    if (size_t(record) > own.size()) return SQL_NO_DATA;
    const ServerError& e = own[size_t(record) - 1];
    switch (field) {
    case SQL_DIAG_SQLSTATE: return text(e.sqlState);
    case SQL_DIAG_NATIVE: return number(SQLINTEGER(e.native));
    case SQL_DIAG_MESSAGE_TEXT: return text(e.message);
    case SQL_DIAG_CLASS_ORIGIN:
    case SQL_DIAG_SUBCLASS_ORIGIN: return text(originOf(e.sqlState));
    case SQL_DIAG_CONNECTION_NAME:
    case SQL_DIAG_SERVER_NAME: return text("");
    case SQL_DIAG_COLUMN_NUMBER: return number(SQLINTEGER(SQL_COLUMN_NUMBER_UNKNOWN));
    case SQL_DIAG_ROW_NUMBER: return number(SQLLEN(SQL_ROW_NUMBER_UNKNOWN));
    default: return SQL_ERROR;
    }
}

SQLHANDLE errorHandle(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt) { return stmt ? stmt : dbc ? dbc : env; }

}  // namespace

extern "C" {

// ---- Handles -------------------------------------------------------------------------

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
    enter(input);
    const SQLRETURN rc = CALL(SQLAllocHandle, type, input, output);
    if (SQL_SUCCEEDED(rc) && output) {
        if (type == SQL_HANDLE_DBC) addConnection(*output);
        else if (type == SQL_HANDLE_STMT) addStatement(*output, input);
    }
    return rc;
}

SQLRETURN SQL_API SQLAllocEnv(SQLHENV* env) { return CALL(SQLAllocEnv, env); }

SQLRETURN SQL_API SQLAllocConnect(SQLHENV env, SQLHDBC* dbc) {
    enter(env);
    const SQLRETURN rc = CALL(SQLAllocConnect, env, dbc);
    if (SQL_SUCCEEDED(rc) && dbc) addConnection(*dbc);
    return rc;
}

SQLRETURN SQL_API SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* stmt) {
    enter(dbc);
    const SQLRETURN rc = CALL(SQLAllocStmt, dbc, stmt);
    if (SQL_SUCCEEDED(rc) && stmt) addStatement(*stmt, dbc);
    return rc;
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
    enter(handle);
    const SQLRETURN rc = CALL(SQLFreeHandle, type, handle);
    if (SQL_SUCCEEDED(rc)) {
        if (type == SQL_HANDLE_DBC) {
            removeStatementsOf(handle);
            removeConnection(handle);
        } else if (type == SQL_HANDLE_STMT) {
            removeStatement(handle);
        }
    }
    return rc;
}

SQLRETURN SQL_API SQLFreeEnv(SQLHENV env) {
    enter(env);
    return CALL(SQLFreeEnv, env);
}

SQLRETURN SQL_API SQLFreeConnect(SQLHDBC dbc) {
    enter(dbc);
    const SQLRETURN rc = CALL(SQLFreeConnect, dbc);
    if (SQL_SUCCEEDED(rc)) {
        removeStatementsOf(dbc);
        removeConnection(dbc);
    }
    return rc;
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
    enter(stmt);
    const SQLRETURN rc = CALL(SQLFreeStmt, stmt, option);
    if (SQL_SUCCEEDED(rc) && option == SQL_DROP) removeStatement(stmt);
    return rc;
}

// ---- Environment ---------------------------------------------------------------------

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV env, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER length) {
    enter(env);
    return CALL(SQLSetEnvAttr, env, attr, value, length);
}

SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV env, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER capacity, SQLINTEGER* length) {
    enter(env);
    return CALL(SQLGetEnvAttr, env, attr, value, capacity, length);
}

SQLRETURN SQL_API SQLDataSources(SQLHENV env, SQLUSMALLINT direction, SQLCHAR* name, SQLSMALLINT nameMax,
                                 SQLSMALLINT* nameLength, SQLCHAR* description, SQLSMALLINT descriptionMax,
                                 SQLSMALLINT* descriptionLength) {
    enter(env);
    return CALL(SQLDataSources, env, direction, name, nameMax, nameLength, description, descriptionMax, descriptionLength);
}

SQLRETURN SQL_API SQLDrivers(SQLHENV env, SQLUSMALLINT direction, SQLCHAR* description, SQLSMALLINT descriptionMax,
                             SQLSMALLINT* descriptionLength, SQLCHAR* attributes, SQLSMALLINT attributesMax,
                             SQLSMALLINT* attributesLength) {
    enter(env);
    return CALL(SQLDrivers, env, direction, description, descriptionMax, descriptionLength, attributes, attributesMax,
                attributesLength);
}

// ---- Connecting ----------------------------------------------------------------------

SQLRETURN SQL_API SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user, SQLSMALLINT userLength,
                             SQLCHAR* password, SQLSMALLINT passwordLength) {
    enter(dbc);
    return CALL(SQLConnect, dbc, dsn, dsnLength, user, userLength, password, passwordLength);
}

SQLRETURN SQL_API SQLConnectW(SQLHDBC dbc, SQLWCHAR* dsn, SQLSMALLINT dsnLength, SQLWCHAR* user, SQLSMALLINT userLength,
                              SQLWCHAR* password, SQLSMALLINT passwordLength) {
    enter(dbc);
    Narrow d(dsn, dsnLength), u(user, userLength), p(password, passwordLength);
    return CALL(SQLConnect, dbc, d.data(), d.nts(), u.data(), u.nts(), p.data(), p.nts());
}

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC dbc, SQLHWND window, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out,
                                   SQLSMALLINT outMax, SQLSMALLINT* outLength, SQLUSMALLINT completion) {
    enter(dbc);
    std::string text = withoutCreation(bytesOf(in, inLength));
    return CALL(SQLDriverConnect, dbc, window, sqlText(text), SQL_NTS, out, outMax, outLength, completion);
}

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC dbc, SQLHWND window, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR* out,
                                    SQLSMALLINT outMax, SQLSMALLINT* outLength, SQLUSMALLINT completion) {
    enter(dbc);
    std::string text = withoutCreation(utf8FromWide(in, inLength));
    // Connecting cannot be repeated for a longer buffer: one roomy enough for any text.
    std::vector<char> buffer(32767, 0);
    SQLSMALLINT length = 0;
    const SQLRETURN rc = CALL(SQLDriverConnect, dbc, window, sqlText(text), SQL_NTS, reinterpret_cast<SQLCHAR*>(buffer.data()),
                              SQLSMALLINT(buffer.size()), &length, completion);
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(buffer.data(), out, outMax, &full, false);
    setLength(outLength, full);
    return finish(dbc, rc, fitted);
}

SQLRETURN SQL_API SQLBrowseConnect(SQLHDBC dbc, SQLCHAR* in, SQLSMALLINT inLength, SQLCHAR* out, SQLSMALLINT outMax,
                                   SQLSMALLINT* outLength) {
    enter(dbc);
    return CALL(SQLBrowseConnect, dbc, in, inLength, out, outMax, outLength);
}

SQLRETURN SQL_API SQLBrowseConnectW(SQLHDBC dbc, SQLWCHAR* in, SQLSMALLINT inLength, SQLWCHAR* out, SQLSMALLINT outMax,
                                    SQLSMALLINT* outLength) {
    enter(dbc);
    Narrow text(in, inLength);
    std::vector<char> buffer(32767, 0);
    SQLSMALLINT length = 0;
    const SQLRETURN rc = CALL(SQLBrowseConnect, dbc, text.data(), text.nts(), reinterpret_cast<SQLCHAR*>(buffer.data()),
                              SQLSMALLINT(buffer.size()), &length);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NEED_DATA) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(buffer.data(), out, outMax, &full, false);
    setLength(outLength, full);
    return rc == SQL_NEED_DATA ? rc : finish(dbc, rc, fitted);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC dbc) {
    enter(dbc);
    const SQLRETURN rc = CALL(SQLDisconnect, dbc);
    if (SQL_SUCCEEDED(rc)) {
        removeStatementsOf(dbc);
        if (const auto c = connectionOf(dbc)) c->identityInsertTable.clear();
    }
    return rc;
}

// ---- Connection attributes, information, transactions --------------------------------

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER length) {
    enter(dbc);
    logAutocommit(dbc, attr, reinterpret_cast<SQLULEN>(value));
    return CALL(SQLSetConnectAttr, dbc, attr, value, length);
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER length) {
    enter(dbc);
    if (isTextConnectAttr(attr)) {
        Narrow text = Narrow::ofBytes(value, length);
        return CALL(SQLSetConnectAttr, dbc, attr, text.data(), SQL_NTS);
    }
    logAutocommit(dbc, attr, reinterpret_cast<SQLULEN>(value));
    return CALL(SQLSetConnectAttr, dbc, attr, value, length);
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER capacity, SQLINTEGER* length) {
    enter(dbc);
    return CALL(SQLGetConnectAttr, dbc, attr, value, capacity, length);
}

SQLRETURN SQL_API SQLGetConnectAttrW(SQLHDBC dbc, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER capacity, SQLINTEGER* length) {
    enter(dbc);
    if (!isTextConnectAttr(attr)) return CALL(SQLGetConnectAttr, dbc, attr, value, capacity, length);
    std::string text;
    const SQLRETURN rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLINTEGER n = 0;
        const SQLRETURN r = CALL(SQLGetConnectAttr, dbc, attr, b, integer(cap), &n);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(text, value, capacity, &full, true);
    setLength(length, full);
    return finish(dbc, rc, fitted);
}

SQLRETURN SQL_API SQLSetConnectOption(SQLHDBC dbc, SQLUSMALLINT option, SQLULEN value) {
    enter(dbc);
    logAutocommit(dbc, option, value);
    return CALL(SQLSetConnectOption, dbc, option, value);
}

SQLRETURN SQL_API SQLSetConnectOptionW(SQLHDBC dbc, SQLUSMALLINT option, SQLULEN value) {
    enter(dbc);
    if (isTextConnectAttr(option)) {
        Narrow text(reinterpret_cast<const SQLWCHAR*>(value), SQL_NTS);
        return CALL(SQLSetConnectOption, dbc, option, reinterpret_cast<SQLULEN>(text.data()));
    }
    logAutocommit(dbc, option, value);
    return CALL(SQLSetConnectOption, dbc, option, value);
}

SQLRETURN SQL_API SQLGetConnectOption(SQLHDBC dbc, SQLUSMALLINT option, SQLPOINTER value) {
    enter(dbc);
    return CALL(SQLGetConnectOption, dbc, option, value);
}

SQLRETURN SQL_API SQLGetConnectOptionW(SQLHDBC dbc, SQLUSMALLINT option, SQLPOINTER value) {
    enter(dbc);
    if (!isTextConnectAttr(option)) return CALL(SQLGetConnectOption, dbc, option, value);
    std::vector<char> buffer(4096, 0);
    const SQLRETURN rc = CALL(SQLGetConnectOption, dbc, option, buffer.data());
    if (!SQL_SUCCEEDED(rc)) return rc;
    // The ODBC 2 call has no buffer length: it promises room for the longest option text.
    const bool fitted = putWide(buffer.data(), value, SQL_MAX_OPTION_STRING_LENGTH + 1, nullptr, false);
    return finish(dbc, rc, fitted);
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length) {
    enter(dbc);
    if (const char* own = serverInfo(type)) {
        SQLLEN full = 0;
        const bool fitted = putNarrow(own, value, capacity, &full);
        setLength(length, full);
        return finish(dbc, SQL_SUCCESS, fitted);
    }
    return CALL(SQLGetInfo, dbc, type, value, capacity, length);
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC dbc, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT capacity, SQLSMALLINT* length) {
    enter(dbc);
    std::string text;
    SQLRETURN rc = SQL_SUCCESS;
    if (const char* own = serverInfo(type)) {
        text = own;
    } else if (isTextInfo(type)) {
        rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
            SQLSMALLINT n = 0;
            const SQLRETURN r = CALL(SQLGetInfo, dbc, type, b, small(cap), &n);
            *len = n;
            return r;
        });
        if (!SQL_SUCCEEDED(rc)) return rc;
    } else {
        return CALL(SQLGetInfo, dbc, type, value, capacity, length);
    }
    SQLLEN full = 0;
    const bool fitted = putWide(text, value, capacity, &full, true);
    setLength(length, full);
    return finish(dbc, rc, fitted);
}

SQLRETURN SQL_API SQLGetFunctions(SQLHDBC dbc, SQLUSMALLINT function, SQLUSMALLINT* supported) {
    enter(dbc);
    return CALL(SQLGetFunctions, dbc, function, supported);
}

SQLRETURN SQL_API SQLNativeSql(SQLHDBC dbc, SQLCHAR* in, SQLINTEGER inLength, SQLCHAR* out, SQLINTEGER outMax,
                               SQLINTEGER* outLength) {
    enter(dbc);
    return CALL(SQLNativeSql, dbc, in, inLength, out, outMax, outLength);
}

SQLRETURN SQL_API SQLNativeSqlW(SQLHDBC dbc, SQLWCHAR* in, SQLINTEGER inLength, SQLWCHAR* out, SQLINTEGER outMax,
                                SQLINTEGER* outLength) {
    enter(dbc);
    Narrow text(in, inLength);
    std::string native;
    const SQLRETURN rc = readNarrow(native, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLINTEGER n = 0;
        const SQLRETURN r = CALL(SQLNativeSql, dbc, text.data(), SQL_NTS, reinterpret_cast<SQLCHAR*>(b), integer(cap), &n);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(native, out, outMax, &full, false);
    setLength(outLength, full);
    return finish(dbc, rc, fitted);
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) {
    enter(handle);
    logCall(completion == SQL_COMMIT ? "commit" : "rollback", type == SQL_HANDLE_DBC ? connectionNumber(handle) : 0, 0);
    return CALL(SQLEndTran, type, handle, completion);
}

SQLRETURN SQL_API SQLTransact(SQLHENV env, SQLHDBC dbc, SQLUSMALLINT completion) {
    enter(dbc ? dbc : env);
    logCall(completion == SQL_COMMIT ? "commit" : "rollback", dbc ? connectionNumber(dbc) : 0, 0);
    return CALL(SQLTransact, env, dbc, completion);
}

// ---- Statements ----------------------------------------------------------------------

SQLRETURN SQL_API SQLPrepare(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
    enter(stmt);
    if (!realDriver().SQLPrepare) return SQL_ERROR;
    const std::string sql = bytesOf(text, length);
    return prepareBatch(stmt, sql, jsonString(std::string_view(sql)));
}

SQLRETURN SQL_API SQLPrepareW(SQLHSTMT stmt, SQLWCHAR* text, SQLINTEGER length) {
    enter(stmt);
    if (!realDriver().SQLPrepare) return SQL_ERROR;
    return prepareBatch(stmt, utf8FromWide(text, length), jsonString(wideText(text, length)));
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT stmt, SQLCHAR* text, SQLINTEGER length) {
    enter(stmt);
    if (!realDriver().SQLExecDirect) return SQL_ERROR;
    const std::string sql = bytesOf(text, length);
    return executeDirect(stmt, sql, jsonString(std::string_view(sql)));
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT stmt, SQLWCHAR* text, SQLINTEGER length) {
    enter(stmt);
    if (!realDriver().SQLExecDirect) return SQL_ERROR;
    return executeDirect(stmt, utf8FromWide(text, length), jsonString(wideText(text, length)));
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT stmt) {
    enter(stmt);
    if (!realDriver().SQLExecute) return SQL_ERROR;
    return executePrepared(stmt);
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count) {
    enter(stmt);
    if (statementOf(stmt)->answered) {
        setLength(count, 0);
        return SQL_SUCCESS;
    }
    return CALL(SQLNumResultCols, stmt, count);
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT stmt, SQLLEN* count) {
    enter(stmt);
    if (statementOf(stmt)->answered) {
        setLength(count, -1);
        return SQL_SUCCESS;
    }
    return CALL(SQLRowCount, stmt, count);
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT stmt) {
    enter(stmt);
    if (statementOf(stmt)->answered) return SQL_NO_DATA;
    return CALL(SQLMoreResults, stmt);
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT stmt, SQLSMALLINT* count) {
    enter(stmt);
    if (statementOf(stmt)->answered) {
        setLength(count, 0);
        return SQL_SUCCESS;
    }
    return CALL(SQLNumParams, stmt, count);
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name, SQLSMALLINT nameMax,
                                 SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                 SQLSMALLINT* nullable) {
    enter(stmt);
    return CALL(SQLDescribeCol, stmt, column, name, nameMax, nameLength, type, size, digits, nullable);
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT stmt, SQLUSMALLINT column, SQLWCHAR* name, SQLSMALLINT nameMax,
                                  SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                  SQLSMALLINT* nullable) {
    enter(stmt);
    std::string text;
    const SQLRETURN rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLSMALLINT n = 0;
        const SQLRETURN r = CALL(SQLDescribeCol, stmt, column, reinterpret_cast<SQLCHAR*>(b), small(cap), &n, type, size,
                                 digits, nullable);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(text, name, nameMax, &full, false);
    setLength(nameLength, full);
    return finish(stmt, rc, fitted);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER text,
                                  SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
    enter(stmt);
    return CALL(SQLColAttribute, stmt, column, field, text, capacity, length, number);
}

SQLRETURN SQL_API SQLColAttributeW(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER value,
                                   SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
    enter(stmt);
    if (!isTextField(field)) return CALL(SQLColAttribute, stmt, column, field, value, capacity, length, number);
    std::string text;
    const SQLRETURN rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLSMALLINT n = 0;
        const SQLRETURN r = CALL(SQLColAttribute, stmt, column, field, b, small(cap), &n, number);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(text, value, capacity, &full, true);
    setLength(length, full);
    return finish(stmt, rc, fitted);
}

SQLRETURN SQL_API SQLColAttributes(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER text,
                                   SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
    enter(stmt);
    return CALL(SQLColAttributes, stmt, column, field, text, capacity, length, number);
}

SQLRETURN SQL_API SQLColAttributesW(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field, SQLPOINTER value,
                                    SQLSMALLINT capacity, SQLSMALLINT* length, SQLLEN* number) {
    enter(stmt);
    if (!isTextField(field)) return CALL(SQLColAttributes, stmt, column, field, value, capacity, length, number);
    std::string text;
    const SQLRETURN rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLSMALLINT n = 0;
        const SQLRETURN r = CALL(SQLColAttributes, stmt, column, field, b, small(cap), &n, number);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(text, value, capacity, &full, true);
    setLength(length, full);
    return finish(stmt, rc, fitted);
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER value, SQLLEN capacity,
                             SQLLEN* indicator) {
    enter(stmt);
    return CALL(SQLBindCol, stmt, column, type, value, capacity, indicator);
}

SQLRETURN SQL_API SQLBindParam(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT valueType, SQLSMALLINT parameterType,
                               SQLULEN size, SQLSMALLINT scale, SQLPOINTER value, SQLLEN* indicator) {
    enter(stmt);
    return CALL(SQLBindParam, stmt, number, valueType, parameterType, size, scale, value, indicator);
}

SQLRETURN SQL_API SQLBindParameter(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT io, SQLSMALLINT valueType,
                                   SQLSMALLINT parameterType, SQLULEN size, SQLSMALLINT scale, SQLPOINTER value,
                                   SQLLEN capacity, SQLLEN* indicator) {
    enter(stmt);
    return CALL(SQLBindParameter, stmt, number, io, valueType, parameterType, size, scale, value, capacity, indicator);
}

SQLRETURN SQL_API SQLSetParam(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT valueType, SQLSMALLINT parameterType,
                              SQLULEN size, SQLSMALLINT scale, SQLPOINTER value, SQLLEN* indicator) {
    enter(stmt);
    return CALL(SQLSetParam, stmt, number, valueType, parameterType, size, scale, value, indicator);
}

SQLRETURN SQL_API SQLDescribeParam(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT* type, SQLULEN* size,
                                   SQLSMALLINT* digits, SQLSMALLINT* nullable) {
    enter(stmt);
    return CALL(SQLDescribeParam, stmt, number, type, size, digits, nullable);
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT stmt) {
    enter(stmt);
    return CALL(SQLFetch, stmt);
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT stmt, SQLSMALLINT orientation, SQLLEN offset) {
    enter(stmt);
    return CALL(SQLFetchScroll, stmt, orientation, offset);
}

SQLRETURN SQL_API SQLExtendedFetch(SQLHSTMT stmt, SQLUSMALLINT orientation, SQLLEN offset, SQLULEN* rows,
                                   SQLUSMALLINT* status) {
    enter(stmt);
    return CALL(SQLExtendedFetch, stmt, orientation, offset, rows, status);
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER value, SQLLEN capacity,
                             SQLLEN* indicator) {
    enter(stmt);
    return CALL(SQLGetData, stmt, column, type, value, capacity, indicator);
}

SQLRETURN SQL_API SQLPutData(SQLHSTMT stmt, SQLPOINTER data, SQLLEN length) {
    enter(stmt);
    return CALL(SQLPutData, stmt, data, length);
}

SQLRETURN SQL_API SQLParamData(SQLHSTMT stmt, SQLPOINTER* value) {
    enter(stmt);
    return CALL(SQLParamData, stmt, value);
}

SQLRETURN SQL_API SQLParamOptions(SQLHSTMT stmt, SQLULEN rows, SQLULEN* row) {
    enter(stmt);
    return CALL(SQLParamOptions, stmt, rows, row);
}

SQLRETURN SQL_API SQLSetPos(SQLHSTMT stmt, SQLSETPOSIROW row, SQLUSMALLINT operation, SQLUSMALLINT lock) {
    enter(stmt);
    return CALL(SQLSetPos, stmt, row, operation, lock);
}

SQLRETURN SQL_API SQLSetScrollOptions(SQLHSTMT stmt, SQLUSMALLINT concurrency, SQLLEN keyset, SQLUSMALLINT rowset) {
    enter(stmt);
    return CALL(SQLSetScrollOptions, stmt, concurrency, keyset, rowset);
}

SQLRETURN SQL_API SQLBulkOperations(SQLHSTMT stmt, SQLSMALLINT operation) {
    enter(stmt);
    return CALL(SQLBulkOperations, stmt, operation);
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT stmt) {
    enter(stmt);
    return CALL(SQLCancel, stmt);
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT stmt) {
    enter(stmt);
    return CALL(SQLCloseCursor, stmt);
}

SQLRETURN SQL_API SQLGetCursorName(SQLHSTMT stmt, SQLCHAR* name, SQLSMALLINT capacity, SQLSMALLINT* length) {
    enter(stmt);
    return CALL(SQLGetCursorName, stmt, name, capacity, length);
}

SQLRETURN SQL_API SQLGetCursorNameW(SQLHSTMT stmt, SQLWCHAR* name, SQLSMALLINT capacity, SQLSMALLINT* length) {
    enter(stmt);
    std::string text;
    const SQLRETURN rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLSMALLINT n = 0;
        const SQLRETURN r = CALL(SQLGetCursorName, stmt, reinterpret_cast<SQLCHAR*>(b), small(cap), &n);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(text, name, capacity, &full, false);
    setLength(length, full);
    return finish(stmt, rc, fitted);
}

SQLRETURN SQL_API SQLSetCursorName(SQLHSTMT stmt, SQLCHAR* name, SQLSMALLINT length) {
    enter(stmt);
    return CALL(SQLSetCursorName, stmt, name, length);
}

SQLRETURN SQL_API SQLSetCursorNameW(SQLHSTMT stmt, SQLWCHAR* name, SQLSMALLINT length) {
    enter(stmt);
    Narrow text(name, length);
    return CALL(SQLSetCursorName, stmt, text.data(), text.nts());
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER length) {
    enter(stmt);
    return CALL(SQLSetStmtAttr, stmt, attr, value, length);
}

SQLRETURN SQL_API SQLSetStmtAttrW(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER length) {
    enter(stmt);
    return CALL(SQLSetStmtAttr, stmt, attr, value, length);
}

SQLRETURN SQL_API SQLGetStmtAttr(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER capacity, SQLINTEGER* length) {
    enter(stmt);
    return CALL(SQLGetStmtAttr, stmt, attr, value, capacity, length);
}

SQLRETURN SQL_API SQLGetStmtAttrW(SQLHSTMT stmt, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER capacity, SQLINTEGER* length) {
    enter(stmt);
    return CALL(SQLGetStmtAttr, stmt, attr, value, capacity, length);
}

SQLRETURN SQL_API SQLSetStmtOption(SQLHSTMT stmt, SQLUSMALLINT option, SQLULEN value) {
    enter(stmt);
    return CALL(SQLSetStmtOption, stmt, option, value);
}

SQLRETURN SQL_API SQLGetStmtOption(SQLHSTMT stmt, SQLUSMALLINT option, SQLPOINTER value) {
    enter(stmt);
    return CALL(SQLGetStmtOption, stmt, option, value);
}

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT stmt, SQLSMALLINT type) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLGetTypeInfo, stmt, type);
}

SQLRETURN SQL_API SQLGetTypeInfoW(SQLHSTMT stmt, SQLSMALLINT type) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLGetTypeInfo, stmt, type);
}

// ---- Catalog -------------------------------------------------------------------------

SQLRETURN SQL_API SQLTables(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                            SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLCHAR* types,
                            SQLSMALLINT typesLength) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLTables, stmt, catalog, catalogLength, schema, schemaLength, table, tableLength, types, typesLength);
}

SQLRETURN SQL_API SQLTablesW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength, SQLWCHAR* schema,
                             SQLSMALLINT schemaLength, SQLWCHAR* table, SQLSMALLINT tableLength, SQLWCHAR* types,
                             SQLSMALLINT typesLength) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), t(table, tableLength), y(types, typesLength);
    return CALL(SQLTables, stmt, c.data(), c.nts(), s.data(), s.nts(), t.data(), t.nts(), y.data(), y.nts());
}

SQLRETURN SQL_API SQLColumns(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                             SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLCHAR* column,
                             SQLSMALLINT columnLength) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLColumns, stmt, catalog, catalogLength, schema, schemaLength, table, tableLength, column, columnLength);
}

SQLRETURN SQL_API SQLColumnsW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength, SQLWCHAR* schema,
                              SQLSMALLINT schemaLength, SQLWCHAR* table, SQLSMALLINT tableLength, SQLWCHAR* column,
                              SQLSMALLINT columnLength) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), t(table, tableLength), n(column, columnLength);
    return CALL(SQLColumns, stmt, c.data(), c.nts(), s.data(), s.nts(), t.data(), t.nts(), n.data(), n.nts());
}

SQLRETURN SQL_API SQLColumnPrivileges(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                                      SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLCHAR* column,
                                      SQLSMALLINT columnLength) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLColumnPrivileges, stmt, catalog, catalogLength, schema, schemaLength, table, tableLength, column,
                columnLength);
}

SQLRETURN SQL_API SQLColumnPrivilegesW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength, SQLWCHAR* schema,
                                       SQLSMALLINT schemaLength, SQLWCHAR* table, SQLSMALLINT tableLength,
                                       SQLWCHAR* column, SQLSMALLINT columnLength) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), t(table, tableLength), n(column, columnLength);
    return CALL(SQLColumnPrivileges, stmt, c.data(), c.nts(), s.data(), s.nts(), t.data(), t.nts(), n.data(), n.nts());
}

SQLRETURN SQL_API SQLForeignKeys(SQLHSTMT stmt, SQLCHAR* pkCatalog, SQLSMALLINT pkCatalogLength, SQLCHAR* pkSchema,
                                 SQLSMALLINT pkSchemaLength, SQLCHAR* pkTable, SQLSMALLINT pkTableLength,
                                 SQLCHAR* fkCatalog, SQLSMALLINT fkCatalogLength, SQLCHAR* fkSchema,
                                 SQLSMALLINT fkSchemaLength, SQLCHAR* fkTable, SQLSMALLINT fkTableLength) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLForeignKeys, stmt, pkCatalog, pkCatalogLength, pkSchema, pkSchemaLength, pkTable, pkTableLength,
                fkCatalog, fkCatalogLength, fkSchema, fkSchemaLength, fkTable, fkTableLength);
}

SQLRETURN SQL_API SQLForeignKeysW(SQLHSTMT stmt, SQLWCHAR* pkCatalog, SQLSMALLINT pkCatalogLength, SQLWCHAR* pkSchema,
                                  SQLSMALLINT pkSchemaLength, SQLWCHAR* pkTable, SQLSMALLINT pkTableLength,
                                  SQLWCHAR* fkCatalog, SQLSMALLINT fkCatalogLength, SQLWCHAR* fkSchema,
                                  SQLSMALLINT fkSchemaLength, SQLWCHAR* fkTable, SQLSMALLINT fkTableLength) {
    enter(stmt);
    forget(stmt);
    Narrow pc(pkCatalog, pkCatalogLength), ps(pkSchema, pkSchemaLength), pt(pkTable, pkTableLength);
    Narrow fc(fkCatalog, fkCatalogLength), fs(fkSchema, fkSchemaLength), ft(fkTable, fkTableLength);
    return CALL(SQLForeignKeys, stmt, pc.data(), pc.nts(), ps.data(), ps.nts(), pt.data(), pt.nts(), fc.data(), fc.nts(),
                fs.data(), fs.nts(), ft.data(), ft.nts());
}

SQLRETURN SQL_API SQLPrimaryKeys(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                                 SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLPrimaryKeys, stmt, catalog, catalogLength, schema, schemaLength, table, tableLength);
}

SQLRETURN SQL_API SQLPrimaryKeysW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength, SQLWCHAR* schema,
                                  SQLSMALLINT schemaLength, SQLWCHAR* table, SQLSMALLINT tableLength) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), t(table, tableLength);
    return CALL(SQLPrimaryKeys, stmt, c.data(), c.nts(), s.data(), s.nts(), t.data(), t.nts());
}

SQLRETURN SQL_API SQLProcedureColumns(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                                      SQLSMALLINT schemaLength, SQLCHAR* procedure, SQLSMALLINT procedureLength,
                                      SQLCHAR* column, SQLSMALLINT columnLength) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLProcedureColumns, stmt, catalog, catalogLength, schema, schemaLength, procedure, procedureLength, column,
                columnLength);
}

SQLRETURN SQL_API SQLProcedureColumnsW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength, SQLWCHAR* schema,
                                       SQLSMALLINT schemaLength, SQLWCHAR* procedure, SQLSMALLINT procedureLength,
                                       SQLWCHAR* column, SQLSMALLINT columnLength) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), p(procedure, procedureLength), n(column, columnLength);
    return CALL(SQLProcedureColumns, stmt, c.data(), c.nts(), s.data(), s.nts(), p.data(), p.nts(), n.data(), n.nts());
}

SQLRETURN SQL_API SQLProcedures(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                                SQLSMALLINT schemaLength, SQLCHAR* procedure, SQLSMALLINT procedureLength) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLProcedures, stmt, catalog, catalogLength, schema, schemaLength, procedure, procedureLength);
}

SQLRETURN SQL_API SQLProceduresW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength, SQLWCHAR* schema,
                                 SQLSMALLINT schemaLength, SQLWCHAR* procedure, SQLSMALLINT procedureLength) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), p(procedure, procedureLength);
    return CALL(SQLProcedures, stmt, c.data(), c.nts(), s.data(), s.nts(), p.data(), p.nts());
}

SQLRETURN SQL_API SQLSpecialColumns(SQLHSTMT stmt, SQLUSMALLINT kind, SQLCHAR* catalog, SQLSMALLINT catalogLength,
                                    SQLCHAR* schema, SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength,
                                    SQLUSMALLINT scope, SQLUSMALLINT nullable) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLSpecialColumns, stmt, kind, catalog, catalogLength, schema, schemaLength, table, tableLength, scope,
                nullable);
}

SQLRETURN SQL_API SQLSpecialColumnsW(SQLHSTMT stmt, SQLUSMALLINT kind, SQLWCHAR* catalog, SQLSMALLINT catalogLength,
                                     SQLWCHAR* schema, SQLSMALLINT schemaLength, SQLWCHAR* table,
                                     SQLSMALLINT tableLength, SQLUSMALLINT scope, SQLUSMALLINT nullable) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), t(table, tableLength);
    return CALL(SQLSpecialColumns, stmt, kind, c.data(), c.nts(), s.data(), s.nts(), t.data(), t.nts(), scope, nullable);
}

SQLRETURN SQL_API SQLStatistics(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                                SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength, SQLUSMALLINT unique,
                                SQLUSMALLINT reserved) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLStatistics, stmt, catalog, catalogLength, schema, schemaLength, table, tableLength, unique, reserved);
}

SQLRETURN SQL_API SQLStatisticsW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength, SQLWCHAR* schema,
                                 SQLSMALLINT schemaLength, SQLWCHAR* table, SQLSMALLINT tableLength,
                                 SQLUSMALLINT unique, SQLUSMALLINT reserved) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), t(table, tableLength);
    return CALL(SQLStatistics, stmt, c.data(), c.nts(), s.data(), s.nts(), t.data(), t.nts(), unique, reserved);
}

SQLRETURN SQL_API SQLTablePrivileges(SQLHSTMT stmt, SQLCHAR* catalog, SQLSMALLINT catalogLength, SQLCHAR* schema,
                                     SQLSMALLINT schemaLength, SQLCHAR* table, SQLSMALLINT tableLength) {
    enter(stmt);
    forget(stmt);
    return CALL(SQLTablePrivileges, stmt, catalog, catalogLength, schema, schemaLength, table, tableLength);
}

SQLRETURN SQL_API SQLTablePrivilegesW(SQLHSTMT stmt, SQLWCHAR* catalog, SQLSMALLINT catalogLength, SQLWCHAR* schema,
                                      SQLSMALLINT schemaLength, SQLWCHAR* table, SQLSMALLINT tableLength) {
    enter(stmt);
    forget(stmt);
    Narrow c(catalog, catalogLength), s(schema, schemaLength), t(table, tableLength);
    return CALL(SQLTablePrivileges, stmt, c.data(), c.nts(), s.data(), s.nts(), t.data(), t.nts());
}

// ---- Descriptors ---------------------------------------------------------------------

SQLRETURN SQL_API SQLCopyDesc(SQLHDESC source, SQLHDESC target) {
    enter(target);
    return CALL(SQLCopyDesc, source, target);
}

SQLRETURN SQL_API SQLGetDescField(SQLHDESC desc, SQLSMALLINT record, SQLSMALLINT field, SQLPOINTER value,
                                  SQLINTEGER capacity, SQLINTEGER* length) {
    enter(desc);
    return CALL(SQLGetDescField, desc, record, field, value, capacity, length);
}

SQLRETURN SQL_API SQLGetDescFieldW(SQLHDESC desc, SQLSMALLINT record, SQLSMALLINT field, SQLPOINTER value,
                                   SQLINTEGER capacity, SQLINTEGER* length) {
    enter(desc);
    if (!isTextField(SQLUSMALLINT(field))) return CALL(SQLGetDescField, desc, record, field, value, capacity, length);
    std::string text;
    const SQLRETURN rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLINTEGER n = 0;
        const SQLRETURN r = CALL(SQLGetDescField, desc, record, field, b, integer(cap), &n);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(text, value, capacity, &full, true);
    setLength(length, full);
    return finish(desc, rc, fitted);
}

SQLRETURN SQL_API SQLSetDescField(SQLHDESC desc, SQLSMALLINT record, SQLSMALLINT field, SQLPOINTER value, SQLINTEGER length) {
    enter(desc);
    return CALL(SQLSetDescField, desc, record, field, value, length);
}

SQLRETURN SQL_API SQLSetDescFieldW(SQLHDESC desc, SQLSMALLINT record, SQLSMALLINT field, SQLPOINTER value,
                                   SQLINTEGER length) {
    enter(desc);
    if (!isTextField(SQLUSMALLINT(field))) return CALL(SQLSetDescField, desc, record, field, value, length);
    Narrow text = Narrow::ofBytes(value, length);
    return CALL(SQLSetDescField, desc, record, field, text.data(), SQL_NTS);
}

SQLRETURN SQL_API SQLGetDescRec(SQLHDESC desc, SQLSMALLINT record, SQLCHAR* name, SQLSMALLINT nameMax,
                                SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLSMALLINT* subType, SQLLEN* length,
                                SQLSMALLINT* precision, SQLSMALLINT* scale, SQLSMALLINT* nullable) {
    enter(desc);
    return CALL(SQLGetDescRec, desc, record, name, nameMax, nameLength, type, subType, length, precision, scale, nullable);
}

SQLRETURN SQL_API SQLGetDescRecW(SQLHDESC desc, SQLSMALLINT record, SQLWCHAR* name, SQLSMALLINT nameMax,
                                 SQLSMALLINT* nameLength, SQLSMALLINT* type, SQLSMALLINT* subType, SQLLEN* length,
                                 SQLSMALLINT* precision, SQLSMALLINT* scale, SQLSMALLINT* nullable) {
    enter(desc);
    std::string text;
    const SQLRETURN rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLSMALLINT n = 0;
        const SQLRETURN r = CALL(SQLGetDescRec, desc, record, reinterpret_cast<SQLCHAR*>(b), small(cap), &n, type, subType,
                                 length, precision, scale, nullable);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(text, name, nameMax, &full, false);
    setLength(nameLength, full);
    return finish(desc, rc, fitted);
}

SQLRETURN SQL_API SQLSetDescRec(SQLHDESC desc, SQLSMALLINT record, SQLSMALLINT type, SQLSMALLINT subType, SQLLEN length,
                                SQLSMALLINT precision, SQLSMALLINT scale, SQLPOINTER data, SQLLEN* stringLength,
                                SQLLEN* indicator) {
    enter(desc);
    return CALL(SQLSetDescRec, desc, record, type, subType, length, precision, scale, data, stringLength, indicator);
}

// ---- Diagnostics: the shim's own records first, else the SQLite driver's --------------

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLCHAR* state,
                                SQLINTEGER* native, SQLCHAR* message, SQLSMALLINT capacity, SQLSMALLINT* length) {
    const auto own = diagnosticsOf(handle);
    if (own.empty()) return CALL(SQLGetDiagRec, type, handle, record, state, native, message, capacity, length);
    if (record < 1) return SQL_ERROR;
    if (size_t(record) > own.size()) return SQL_NO_DATA;
    const ServerError& e = own[size_t(record) - 1];
    if (state) putNarrow(e.sqlState, state, SQL_SQLSTATE_SIZE + 1, nullptr);
    if (native) *native = e.native;
    SQLLEN full = 0;
    const bool fitted = putNarrow(e.message, message, capacity, &full);
    setLength(length, full);
    return fitted ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLWCHAR* state,
                                 SQLINTEGER* native, SQLWCHAR* message, SQLSMALLINT capacity, SQLSMALLINT* length) {
    ServerError e;
    SQLRETURN rc = SQL_SUCCESS;
    if (const auto own = diagnosticsOf(handle); !own.empty()) {
        if (record < 1) return SQL_ERROR;
        if (size_t(record) > own.size()) return SQL_NO_DATA;
        e = own[size_t(record) - 1];
    } else {
        SQLCHAR narrowState[SQL_SQLSTATE_SIZE + 1] = {0};
        rc = readNarrow(e.message, [&](char* b, SQLLEN cap, SQLLEN* len) {
            SQLSMALLINT n = 0;
            const SQLRETURN r = CALL(SQLGetDiagRec, type, handle, record, narrowState, &e.native,
                                     reinterpret_cast<SQLCHAR*>(b), small(cap), &n);
            *len = n;
            return r;
        });
        if (!SQL_SUCCEEDED(rc)) return rc;
        e.sqlState = reinterpret_cast<char*>(narrowState);
    }
    if (state) putWide(e.sqlState, state, SQL_SQLSTATE_SIZE + 1, nullptr, false);
    if (native) *native = e.native;
    SQLLEN full = 0;
    const bool fitted = putWide(e.message, message, capacity, &full, false);
    setLength(length, full);
    return fitted ? rc : SQL_SUCCESS_WITH_INFO;
}

SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                                  SQLPOINTER info, SQLSMALLINT capacity, SQLSMALLINT* length) {
    const auto own = diagnosticsOf(handle);
    if (own.empty()) return CALL(SQLGetDiagField, type, handle, record, field, info, capacity, length);
    return ownDiagField(own, record, field, info, capacity, length, false);
}

SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, SQLSMALLINT field,
                                   SQLPOINTER info, SQLSMALLINT capacity, SQLSMALLINT* length) {
    if (const auto own = diagnosticsOf(handle); !own.empty())
        return ownDiagField(own, record, field, info, capacity, length, true);
    if (!isTextDiagField(field)) return CALL(SQLGetDiagField, type, handle, record, field, info, capacity, length);
    std::string text;
    const SQLRETURN rc = readNarrow(text, [&](char* b, SQLLEN cap, SQLLEN* len) {
        SQLSMALLINT n = 0;
        const SQLRETURN r = CALL(SQLGetDiagField, type, handle, record, field, b, small(cap), &n);
        *len = n;
        return r;
    });
    if (!SQL_SUCCEEDED(rc)) return rc;
    SQLLEN full = 0;
    const bool fitted = putWide(text, info, capacity, &full, true);
    setLength(length, full);
    return fitted ? rc : SQL_SUCCESS_WITH_INFO;
}

SQLRETURN SQL_API SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* state, SQLINTEGER* native,
                           SQLCHAR* message, SQLSMALLINT capacity, SQLSMALLINT* length) {
    const auto own = takeDiagnostic(errorHandle(env, dbc, stmt));
    if (!own) return CALL(SQLError, env, dbc, stmt, state, native, message, capacity, length);
    if (state) putNarrow(own->sqlState, state, SQL_SQLSTATE_SIZE + 1, nullptr);
    if (native) *native = own->native;
    SQLLEN full = 0;
    const bool fitted = putNarrow(own->message, message, capacity, &full);
    setLength(length, full);
    return fitted ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
}

SQLRETURN SQL_API SQLErrorW(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLWCHAR* state, SQLINTEGER* native,
                            SQLWCHAR* message, SQLSMALLINT capacity, SQLSMALLINT* length) {
    ServerError e;
    SQLRETURN rc = SQL_SUCCESS;
    if (const auto own = takeDiagnostic(errorHandle(env, dbc, stmt))) {
        e = *own;
    } else {
        SQLCHAR narrowState[SQL_SQLSTATE_SIZE + 1] = {0};
        std::vector<char> buffer(SQL_MAX_MESSAGE_LENGTH * 4, 0);
        SQLSMALLINT n = 0;
        // Each record is read once, so no second try with a longer buffer.
        rc = CALL(SQLError, env, dbc, stmt, narrowState, &e.native, reinterpret_cast<SQLCHAR*>(buffer.data()),
                  SQLSMALLINT(buffer.size()), &n);
        if (!SQL_SUCCEEDED(rc)) return rc;
        e.sqlState = reinterpret_cast<char*>(narrowState);
        e.message = buffer.data();
    }
    if (state) putWide(e.sqlState, state, SQL_SQLSTATE_SIZE + 1, nullptr, false);
    if (native) *native = e.native;
    SQLLEN full = 0;
    const bool fitted = putWide(e.message, message, capacity, &full, false);
    setLength(length, full);
    return fitted ? rc : SQL_SUCCESS_WITH_INFO;
}

// ---- Setup ---------------------------------------------------------------------------

int INSTAPI ODBCINSTGetProperties(HODBCINSTPROPERTY property) {
    return realDriver().ODBCINSTGetProperties ? realDriver().ODBCINSTGetProperties(property) : 0;
}

}  // extern "C"
