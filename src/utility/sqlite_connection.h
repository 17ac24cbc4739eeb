#pragma once

#include <QString>

struct sqlite3;

namespace utility {

// Why the file named `name` cannot be a SQLite database, or nothing. SQLite takes an empty
// file for an empty database and would write one into it, and some drivers create a
// missing one.
QString sqliteFileProblem(const QString& name);

// The session's own connection to a SQLite file, through SQLite's C interface.
class SqliteConnection {
public:
    SqliteConnection() = default;
    ~SqliteConnection() { close(); }
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Opens the existing database `name`; returns why it could not, or the empty text.
    // A read-only session refuses every write and leaves no -wal or -shm behind; any other
    // runs in WAL mode with synchronous NORMAL.
    QString open(const QString& name, bool readOnly);
    // Ends the connection; the last one to the file checkpoints and removes its -wal.
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }
    // The absolute path of the file.
    const QString& path() const { return path_; }
    // 0 waits without limit.
    void setBusyTimeout(int seconds);
    // Runs one statement without rows; raises a database error.
    void execute(const QString& sql);

private:
    sqlite3* db_ = nullptr;
    QString path_;
};

}  // namespace utility
