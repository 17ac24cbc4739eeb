#include "utility/odbc_statement.h"

#include "platform/runtime_error.h"
#include "utility/odbc_block_reader.h"
#include "utility/odbc_row_reader.h"
#include "utility/password_hiding.h"

#include <QSqlError>
#include <QSqlRecord>
#include <QSqlResult>
#include "platform/odbc_api.h"

namespace utility {

namespace {

SQLHANDLE handleOf(const QSqlQuery& q) {
    const QVariant v = q.result()->handle();
    if (!v.isValid() || !v.data()) return nullptr;
    return *static_cast<SQLHANDLE const*>(v.constData());
}

[[noreturn]] void raise(const QString& text) { throw platform::RuntimeError(platform::kDatabaseError, hidePasswords(text)); }

// Prepares `text` on `q` with the query time-out set before it runs.
void prepare(QSqlQuery& q, const QString& text, int timeoutSeconds) {
    q.setForwardOnly(true);
    if (!q.prepare(text)) raise(driverText(q.lastError()));
    if (SQLHANDLE hstmt = handleOf(q))
        SQLSetStmtAttr(hstmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
}

void prepareAndRun(QSqlQuery& q, const QString& text, int timeoutSeconds) {
    prepare(q, text, timeoutSeconds);
    if (!q.exec()) raise(driverText(q.lastError()));
}

}  // namespace

QString driverText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty()) return driver;
    if (!driver.isEmpty() && !text.contains(driver)) text = driver + QStringLiteral(": ") + text;
    return text;
}

OdbcStatement::OdbcStatement(const QSqlDatabase& db, const QString& sql, int timeoutSeconds) : query_(db) {
    prepare(query_, sql, timeoutSeconds);
}

void OdbcStatement::run() {
    if (!query_.exec()) raise(driverText(query_.lastError()));
}

bool OdbcStatement::next() {
    if (query_.next()) return true;
    if (query_.lastError().isValid()) raise(driverText(query_.lastError()));
    return false;
}

QStringList OdbcStatement::columnNames() const {
    const QSqlRecord record = query_.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i) names << record.fieldName(i);
    return names;
}

void executeOdbcDirect(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql)) raise(driverText(q.lastError()));
}

void readOdbcRecordset(const QSqlDatabase& db, const QString& sql, int timeoutSeconds, bool sqliteBehind,
                       platform::Recordset& rs) {
    QSqlQuery q(db);
    prepareAndRun(q, sql, timeoutSeconds);
    // The columns as the driver describes them, read by what they hold: integers whole,
    // exact numbers and dates as the engine writes them, never through a double.
    std::vector<OdbcColumn> columns;
    QString why;
    if (!describeOdbcColumns(handleOf(q), columns, why, sqliteBehind)) raise(why);
    // Only comments, or ";": no command, as SQLite read directly says.
    if (columns.empty()) throw platform::RuntimeError::of(platform::kNoCommandText);
    const std::vector<platform::FieldInfo> fields = fieldsOf(columns);
    rs.open(fields);
    // Blocks of rows into the recordset's buffers when the driver and the columns allow it.
    QString blockError;  // a real failure shows again on the row-by-row read
    switch (readOdbcBlocks(handleOf(q), rs, blockError)) {
    case BlockRead::Done: return rs.finishLoad();
    case BlockRead::NotSuitable: break;
    case BlockRead::Restart:
        q = QSqlQuery(db);
        prepareAndRun(q, sql, timeoutSeconds);
        rs.open(fields);
        break;
    }
    if (!readOdbcRows(handleOf(q), columns, rs, why)) {
        rs.close();
        raise(why);
    }
    rs.finishLoad();
}

}  // namespace utility
