#pragma once

#include "utility/statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace utility {

// A statement on the session's own SQLite connection, over sqlite3_stmt. Values come back
// typed by what each one holds.
class SqliteStatement : public StatementEngine {
public:
    // Prepares `sql`; raises a database error, or "no command text" when there is only blank.
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bind(int index, const QVariant& value) override;
    void run() override;
    bool next() override;
    QVariant value(int index) const override;
    QStringList columnNames() const override;
    long long rowsAffected() const override { return changes_; }
    void finish() override;

private:
    bool step();  // true on a row
    [[noreturn]] void raise() const;

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    bool rowWaiting_ = false;  // the run's first row, stepped to by run()
    bool done_ = true;
    long long changes_ = 0;
};

}  // namespace utility
