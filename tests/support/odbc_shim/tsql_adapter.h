#pragma once

// A T-SQL text as the shim runs it on SQLite: split into statements, the session SETs
// SQLite has no use for picked out, everything else rewritten into SQLite's dialect.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace odbcshim {

// An error the shim raises as SQL Server would.
struct ServerError {
    std::string sqlState;
    int native = 0;
    std::string message;
};

struct Statement {
    enum class Kind {
        Sql,             // run on SQLite as `sqlite`
        SessionOption,   // SET NOCOUNT ON and the like: nothing to run
        IdentityInsert,  // SET IDENTITY_INSERT `table` ON|OFF
    };
    Kind kind = Kind::Sql;
    std::string sqlite;
    std::string table;  // IdentityInsert: its table; Sql: the table an INSERT names
    bool on = false;
    bool insert = false;
    std::vector<std::string> insertColumns;  // the column list an INSERT names
    bool hasParameters = false;              // holds ? markers
};

struct Batch {
    std::vector<Statement> statements;
    std::optional<ServerError> error;  // the batch is refused as a whole
};

Batch readBatch(std::string_view tsql);

// The rewriting alone, for a single statement.
std::string toSqlite(std::string_view tsql);

}  // namespace odbcshim
