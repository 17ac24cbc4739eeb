#include "shim_state.h"

#include <atomic>
#include <map>
#include <mutex>

namespace odbcshim {

namespace {

std::mutex mutex;
std::map<SQLHANDLE, std::shared_ptr<Connection>> connections;
std::map<SQLHANDLE, std::shared_ptr<StatementState>> statements;
std::map<SQLHANDLE, std::vector<ServerError>> diagnostics;
std::atomic<int> lastConnection{0}, lastStatement{0};

}  // namespace

std::shared_ptr<Connection> addConnection(SQLHDBC dbc) {
    auto c = std::make_shared<Connection>();
    c->id = ++lastConnection;
    c->handle = dbc;
    const std::lock_guard lock(mutex);
    connections[dbc] = c;
    diagnostics.erase(dbc);
    return c;
}

std::shared_ptr<Connection> connectionOf(SQLHDBC dbc) {
    const std::lock_guard lock(mutex);
    const auto it = connections.find(dbc);
    return it == connections.end() ? nullptr : it->second;
}

void removeConnection(SQLHDBC dbc) {
    const std::lock_guard lock(mutex);
    connections.erase(dbc);
    diagnostics.erase(dbc);
}

void removeStatementsOf(SQLHDBC dbc) {
    const std::lock_guard lock(mutex);
    for (auto it = statements.begin(); it != statements.end();) {
        if (it->second->connection && it->second->connection->handle == dbc) {
            diagnostics.erase(it->first);
            it = statements.erase(it);
        } else {
            ++it;
        }
    }
}

std::shared_ptr<StatementState> addStatement(SQLHSTMT stmt, SQLHDBC dbc) {
    auto s = std::make_shared<StatementState>();
    s->id = ++lastStatement;
    const std::lock_guard lock(mutex);
    if (const auto it = connections.find(dbc); it != connections.end()) s->connection = it->second;
    statements[stmt] = s;
    diagnostics.erase(stmt);
    return s;
}

std::shared_ptr<StatementState> statementOf(SQLHSTMT stmt) {
    const std::lock_guard lock(mutex);
    auto& s = statements[stmt];
    if (!s) {
        s = std::make_shared<StatementState>();
        s->id = ++lastStatement;
    }
    return s;
}

void removeStatement(SQLHSTMT stmt) {
    const std::lock_guard lock(mutex);
    statements.erase(stmt);
    diagnostics.erase(stmt);
}

void postDiagnostic(SQLHANDLE handle, ServerError error) {
    const std::lock_guard lock(mutex);
    diagnostics[handle].push_back(std::move(error));
}

void clearDiagnostics(SQLHANDLE handle) {
    const std::lock_guard lock(mutex);
    diagnostics.erase(handle);
}

std::vector<ServerError> diagnosticsOf(SQLHANDLE handle) {
    const std::lock_guard lock(mutex);
    const auto it = diagnostics.find(handle);
    return it == diagnostics.end() ? std::vector<ServerError>{} : it->second;
}

std::optional<ServerError> takeDiagnostic(SQLHANDLE handle) {
    const std::lock_guard lock(mutex);
    const auto it = diagnostics.find(handle);
    if (it == diagnostics.end() || it->second.empty()) return std::nullopt;
    ServerError first = it->second.front();
    it->second.erase(it->second.begin());
    if (it->second.empty()) diagnostics.erase(it);
    return first;
}

}  // namespace odbcshim
