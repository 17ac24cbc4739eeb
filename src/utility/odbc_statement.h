#pragma once

#include "platform/recordset.h"
#include "utility/statement.h"

#include <QSqlDatabase>
#include <QSqlQuery>

class QSqlError;

namespace utility {

// The driver's and the engine's words about a failure, once each.
QString driverText(const QSqlError& error);

// A statement on an ODBC connection, over Qt's QODBC driver; it gets the session's query
// time-out before it runs.
class OdbcStatement : public StatementEngine {
public:
    // Prepares `sql`; raises a database error.
    OdbcStatement(const QSqlDatabase& db, const QString& sql, int timeoutSeconds);

    void bind(int index, const QVariant& value) override { query_.bindValue(index, value); }
    void run() override;
    bool next() override;
    QVariant value(int index) const override { return query_.value(index); }
    QStringList columnNames() const override;
    long long rowsAffected() const override { return query_.numRowsAffected(); }
    void finish() override { query_.finish(); }

private:
    QSqlQuery query_;
};

// Runs `sql` by direct execution, never prepared; raises a database error.
void executeOdbcDirect(const QSqlDatabase& db, const QString& sql);

// Reads a SELECT's rows into `rs` in blocks where the driver and the columns allow it,
// otherwise row by row: integers whole, exact numbers and dates as the engine writes them.
// `sqliteBehind`: the engine behind the driver is SQLite.
void readOdbcRecordset(const QSqlDatabase& db, const QString& sql, int timeoutSeconds, bool sqliteBehind,
                       platform::Recordset& rs);

}  // namespace utility
