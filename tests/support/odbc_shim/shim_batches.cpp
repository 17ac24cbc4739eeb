#include "shim_batches.h"

#include "real_driver.h"
#include "shim_log_writer.h"
#include "shim_state.h"
#include "tsql_lexer.h"

#include <sqlext.h>

#include <algorithm>
#include <cstring>

namespace odbcshim {

namespace {

bool sameName(std::string_view a, std::string_view b) { return !a.empty() && upper(a) == upper(b); }

std::string sqlLiteral(std::string_view value) {
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

SQLCHAR* sqlText(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }

struct ColumnInfo {
    std::string name, type;
    bool identity = false, computed = false;
};

struct TableInfo {
    std::string name;  // as the metadata spells it
    std::vector<ColumnInfo> columns;
};

// A table's columns from the fixture tables that stand for sys.columns, sys.types and
// sys.objects, read through the same connection; nothing when they are missing.
TableInfo describe(SQLHDBC dbc, const std::string& table) {
    const RealDriver& r = realDriver();
    TableInfo info;
    SQLHSTMT h = nullptr;
    if (!dbc || !SQL_SUCCEEDED(r.SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h))) return info;
    const std::string sql =
        "SELECT o.name, c.name, c.is_identity, c.is_computed, COALESCE(t.name, '') FROM shim_sys_objects o "
        "JOIN shim_sys_columns c ON c.object_id = o.object_id "
        "LEFT JOIN shim_sys_types t ON t.user_type_id = c.user_type_id WHERE o.name = " +
        sqlLiteral(table) + " COLLATE NOCASE ORDER BY c.column_id";
    if (SQL_SUCCEEDED(r.SQLExecDirect(h, sqlText(sql), SQL_NTS))) {
        while (SQL_SUCCEEDED(r.SQLFetch(h))) {
            std::string cells[5];
            for (SQLUSMALLINT c = 0; c < 5; ++c) {
                char buffer[1024] = {0};
                SQLLEN length = 0;
                if (SQL_SUCCEEDED(r.SQLGetData(h, c + 1, SQL_C_CHAR, buffer, sizeof buffer, &length)) &&
                    length != SQL_NULL_DATA)
                    cells[c] = buffer;
            }
            info.name = cells[0];
            info.columns.push_back({cells[1], cells[4], cells[2] == "1", cells[3] == "1"});
        }
    }
    r.SQLFreeHandle(SQL_HANDLE_STMT, h);
    return info;
}

// SQL Server refuses explicit values for identity (unless IDENTITY_INSERT is ON for the
// table), computed and timestamp columns.
std::optional<ServerError> checkInsert(SQLHDBC dbc, const Statement& st, const std::string& identityInsertTable) {
    if (st.insertColumns.empty()) return std::nullopt;
    const TableInfo info = describe(dbc, st.table);
    for (const std::string& named : st.insertColumns) {
        const auto c = std::find_if(info.columns.begin(), info.columns.end(),
                                    [&](const ColumnInfo& col) { return sameName(col.name, named); });
        if (c == info.columns.end()) continue;
        if (c->computed)
            return ServerError{"42000", 271,
                               "The column \"" + c->name +
                                   "\" cannot be modified because it is either a computed column or is the result "
                                   "of a UNION operator."};
        if (sameName(c->type, "timestamp") || sameName(c->type, "rowversion"))
            return ServerError{"23000", 273,
                               "Cannot insert an explicit value into a timestamp column. Use INSERT with a column "
                               "list to exclude the timestamp column, or insert a DEFAULT into the timestamp column."};
        if (c->identity && !sameName(identityInsertTable, st.table) && !sameName(identityInsertTable, info.name))
            return ServerError{"23000", 544,
                               "Cannot insert explicit value for identity column in table '" + info.name +
                                   "' when IDENTITY_INSERT is set to OFF."};
    }
    return std::nullopt;
}

// Runs a statement of the batch before its last one on a statement of its own; its
// diagnostics become `stmt`'s.
SQLRETURN runAside(SQLHDBC dbc, SQLHSTMT stmt, const std::string& sql) {
    const RealDriver& r = realDriver();
    SQLHSTMT h = nullptr;
    SQLRETURN rc = r.SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h);
    if (!SQL_SUCCEEDED(rc)) {
        postDiagnostic(stmt, {"HY000", 0, "the shim could not allocate a statement"});
        return SQL_ERROR;
    }
    rc = r.SQLExecDirect(h, sqlText(sql), SQL_NTS);
    if (rc == SQL_ERROR) {
        for (SQLSMALLINT i = 1;; ++i) {
            SQLCHAR state[6] = {0};
            SQLCHAR message[4096] = {0};
            SQLINTEGER native = 0;
            SQLSMALLINT length = 0;
            if (!SQL_SUCCEEDED(r.SQLGetDiagRec(SQL_HANDLE_STMT, h, i, state, &native, message, sizeof message, &length)))
                break;
            postDiagnostic(stmt, {reinterpret_cast<char*>(state), native, reinterpret_cast<char*>(message)});
        }
        if (diagnosticsOf(stmt).empty()) postDiagnostic(stmt, {"HY000", 0, "the statement failed"});
    }
    r.SQLFreeHandle(SQL_HANDLE_STMT, h);
    return rc == SQL_ERROR ? SQL_ERROR : SQL_SUCCESS;
}

int lastSql(const Batch& batch) {
    for (size_t i = batch.statements.size(); i-- > 0;)
        if (batch.statements[i].kind == Statement::Kind::Sql) return int(i);
    return -1;
}

// Refuses what the shim cannot run as SQL Server would; true if `batch` may go on.
bool acceptable(SQLHSTMT stmt, const Batch& batch) {
    if (batch.error) {
        postDiagnostic(stmt, *batch.error);
        return false;
    }
    const int last = lastSql(batch);
    for (int i = 0; i < last; ++i)
        if (batch.statements[size_t(i)].kind == Statement::Kind::Sql && batch.statements[size_t(i)].hasParameters) {
            postDiagnostic(stmt, {"HY000", 0, "the shim takes ? markers only in a batch's last statement"});
            return false;
        }
    return true;
}

// Runs `batch`, the statement before its last SQL one aside, its last on `stmt` itself;
// `identityInsertTable` is the state its SETs change.
SQLRETURN run(SQLHSTMT stmt, StatementState& st, const Batch& batch, bool prepared, std::string& identityInsertTable) {
    const RealDriver& r = realDriver();
    const SQLHDBC dbc = st.connection ? st.connection->handle : nullptr;
    const int last = lastSql(batch);
    SQLRETURN result = SQL_SUCCESS;
    for (size_t i = 0; i < batch.statements.size(); ++i) {
        const Statement& s = batch.statements[i];
        switch (s.kind) {
        case Statement::Kind::SessionOption: break;
        case Statement::Kind::IdentityInsert:
            if (s.on) {
                if (!identityInsertTable.empty() && !sameName(identityInsertTable, s.table)) {
                    postDiagnostic(stmt, {"42000", 8107,
                                          "IDENTITY_INSERT is already ON for table '" + identityInsertTable +
                                              "'. Cannot perform SET operation for table '" + s.table + "'."});
                    return SQL_ERROR;
                }
                identityInsertTable = s.table;
            } else if (sameName(identityInsertTable, s.table)) {
                identityInsertTable.clear();
            }
            break;
        case Statement::Kind::Sql:
            if (s.insert)
                if (const auto refused = checkInsert(dbc, s, identityInsertTable)) {
                    postDiagnostic(stmt, *refused);
                    return SQL_ERROR;
                }
            if (int(i) != last) {
                if (runAside(dbc, stmt, s.sqlite) == SQL_ERROR) return SQL_ERROR;
                break;
            }
            st.answered = false;
            result = prepared ? r.SQLExecute(stmt) : r.SQLExecDirect(stmt, sqlText(s.sqlite), SQL_NTS);
            if (result == SQL_ERROR || result == SQL_INVALID_HANDLE) return result;
            break;
        }
    }
    if (last < 0) {
        r.SQLFreeStmt(stmt, SQL_CLOSE);  // no results from before stay readable
        st.answered = true;
    }
    return result;
}

int connectionId(const StatementState& st) { return st.connection ? st.connection->id : 0; }

}  // namespace

SQLRETURN prepareBatch(SQLHSTMT stmt, std::string_view text, const std::string& json) {
    const RealDriver& r = realDriver();
    const auto st = statementOf(stmt);
    logCall("prepare", connectionId(*st), st->id, json);
    st->prepared.reset();
    st->answered = false;
    Batch batch = readBatch(text);
    if (!acceptable(stmt, batch)) return SQL_ERROR;
    SQLRETURN rc = SQL_SUCCESS;
    if (const int last = lastSql(batch); last >= 0) {
        const std::string& sql = batch.statements[size_t(last)].sqlite;
        rc = r.SQLPrepare(stmt, sqlText(sql), SQLINTEGER(sql.size()));
        if (!SQL_SUCCEEDED(rc)) return rc;
    } else {
        r.SQLFreeStmt(stmt, SQL_CLOSE);
        st->answered = true;
    }
    st->prepared = std::move(batch);
    st->preparedJson = json;
    return rc;
}

SQLRETURN executeDirect(SQLHSTMT stmt, std::string_view text, const std::string& json) {
    const auto st = statementOf(stmt);
    logCall("direct", connectionId(*st), st->id, json);
    st->prepared.reset();
    st->answered = false;
    const Batch batch = readBatch(text);
    if (!acceptable(stmt, batch)) return SQL_ERROR;
    std::string none;
    return run(stmt, *st, batch, false, st->connection ? st->connection->identityInsertTable : none);
}

SQLRETURN executePrepared(SQLHSTMT stmt) {
    const auto st = statementOf(stmt);
    if (!st->prepared) {
        logCall("execute", connectionId(*st), st->id);
        return realDriver().SQLExecute(stmt);
    }
    logCall("execute", connectionId(*st), st->id, st->preparedJson);
    // A SET inside a prepared statement lasts for that execution only.
    std::string scoped = st->connection ? st->connection->identityInsertTable : std::string();
    return run(stmt, *st, *st->prepared, true, scoped);
}

std::string withoutCreation(std::string_view text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = i;
        while (end < text.size() && text[end] != '=' && text[end] != ';') ++end;
        if (end < text.size() && text[end] == '=') {
            ++end;
            while (end < text.size() && text[end] == ' ') ++end;
            if (end < text.size() && text[end] == '{') {  // a braced value, where }} is a brace
                for (++end; end < text.size(); ++end)
                    if (text[end] == '}') {
                        if (end + 1 < text.size() && text[end + 1] == '}') ++end;
                        else break;
                    }
            }
            while (end < text.size() && text[end] != ';') ++end;
        }
        std::string_view pair = text.substr(i, end - i);
        std::string_view key = pair.substr(0, pair.find('='));
        while (!key.empty() && key.front() == ' ') key.remove_prefix(1);
        while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
        if (!key.empty() && upper(key) != "NOCREAT") {
            out += pair;
            out += ';';
        }
        i = end + 1;
    }
    return out + "NoCreat=1;";
}

}  // namespace odbcshim
