#pragma once

// What the shim keeps about the driver's handles (which it hands out as its own): the
// connection state SQL Server would keep, prepared batches, and the diagnostics the shim
// raised itself, which take the place of the driver's until the handle's next call.
#include "tsql_adapter.h"

#include <sql.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace odbcshim {

struct Connection {
    int id = 0;
    SQLHDBC handle = nullptr;
    std::string identityInsertTable;  // the table IDENTITY_INSERT is ON for, or empty
};

struct StatementState {
    int id = 0;
    std::shared_ptr<Connection> connection;  // null if its connection is unknown
    std::optional<Batch> prepared;
    std::string preparedJson;  // the prepared text as the program sent it, a JSON string
    bool answered = false;     // the shim answered the last execution itself: no results
};

std::shared_ptr<Connection> addConnection(SQLHDBC dbc);
std::shared_ptr<Connection> connectionOf(SQLHDBC dbc);
void removeConnection(SQLHDBC dbc);
// Forgets the statements of a connection (disconnecting frees them).
void removeStatementsOf(SQLHDBC dbc);

std::shared_ptr<StatementState> addStatement(SQLHSTMT stmt, SQLHDBC dbc);
// Never null: a statement the shim did not see allocated gets a state of its own.
std::shared_ptr<StatementState> statementOf(SQLHSTMT stmt);
void removeStatement(SQLHSTMT stmt);

void postDiagnostic(SQLHANDLE handle, ServerError error);
void clearDiagnostics(SQLHANDLE handle);
std::vector<ServerError> diagnosticsOf(SQLHANDLE handle);
// SQLError's way: each record read once.
std::optional<ServerError> takeDiagnostic(SQLHANDLE handle);

}  // namespace odbcshim
