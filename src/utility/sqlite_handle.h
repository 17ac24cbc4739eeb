#pragma once

#include <QSqlDatabase>
#include <QString>

struct sqlite3;

namespace utility {

// True when the Qt SQLite driver runs on the SQLite library this program links (Debian's
// shared one), so its connection handle may be driven with our calls. A plugin built with
// its own copy of SQLite (Qt's own builds) answers false: two copies of the library must
// never work on one connection.
bool driverUsesLinkedSqlite(const QSqlDatabase& db);

// A connection for reading: the session's own handle when that is safe, otherwise a
// read-only connection of our own to the same file, closed with this object.
class SqliteReadHandle {
public:
    SqliteReadHandle(const QSqlDatabase& db, const QString& path, int busyTimeoutMs);
    ~SqliteReadHandle();
    SqliteReadHandle(const SqliteReadHandle&) = delete;
    SqliteReadHandle& operator=(const SqliteReadHandle&) = delete;

    sqlite3* get() const { return handle_; }
    bool shared() const { return handle_ && !owned_; }
    // Why there is no handle.
    const QString& error() const { return error_; }

private:
    sqlite3* handle_ = nullptr;
    bool owned_ = false;
    QString error_;
};

// On by default; tests switch it off to read through a connection of our own.
void setSqliteSharedHandle(bool on);

}  // namespace utility
