#include "utility/data_access.h"

#include "platform/runtime_error.h"
#include "utility/odbc_connection_text.h"
#include "utility/odbc_statement.h"
#include "utility/sql_dialect.h"
#include "utility/sqlite_recordset_reader.h"
#include "utility/sqlite_statement.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include "platform/odbc_api.h"

namespace utility {

using platform::RuntimeError;

namespace {

std::atomic<int> sessionCounter{0};

[[noreturn]] void raiseDatabaseError(const QString& text) { throw RuntimeError(platform::kDatabaseError, hidePasswords(text)); }

// The name of the engine behind an open ODBC connection.
QString dbmsName(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || !v.data()) return {};
    const auto hdbc = *static_cast<SQLHANDLE const*>(v.constData());
    // The wide call, as Qt's driver makes its own: Wine's odbc32 passes on only those reliably.
    SQLWCHAR name[128] = {0};
    SQLSMALLINT bytes = 0;
    if (!hdbc || !SQL_SUCCEEDED(SQLGetInfoW(hdbc, SQL_DBMS_NAME, name, sizeof name, &bytes))) return {};
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
    const qsizetype units = qBound(qsizetype(0), qsizetype(bytes) / qsizetype(sizeof(SQLWCHAR)), qsizetype(std::size(name) - 1));
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(name), units);
}

}  // namespace

void Connection::setCommandTimeout(int seconds) {
    owner_->requireOpen();
    commandTimeout_ = seconds < 0 ? 0 : seconds;
    owner_->applyCommandTimeout();
}

DataAccess::DataAccess()
    : connectionName_(QStringLiteral("stockfix-session-%1").arg(++sessionCounter)), connection_(this) {}

DataAccess::~DataAccess() { CloseSession(); }

void DataAccess::CloseSession() {
    backend_ = Backend::Closed;
    odbcDriver_.reset();
    sqlite_.close();
    if (QSqlDatabase::contains(connectionName_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName_);
    }
}

bool DataAccess::isSqliteServer(const QString& server) {
    return server.trimmed().compare(u"sqlite", Qt::CaseInsensitive) == 0;
}

QStringList DataAccess::installedOdbcDrivers() { return utility::installedOdbcDrivers(); }

QString DataAccess::sqlServerDriver() {
    return utility::sqlServerDriver(sqlServerDriverConfigured() ? QStringList() : utility::installedOdbcDrivers());
}

const QString& DataAccess::odbcDriver() const {
    if (!odbcDriver_) odbcDriver_ = sqlServerDriver();
    return *odbcDriver_;
}

QString DataAccess::odbcConnectionText(bool withPassword) const {
    return utility::odbcConnectionText(odbcDriver(), {server_, databaseName_, userName_, password_}, withPassword);
}

QString DataAccess::ConnectionString() const {
    if (isSqliteServer(server_)) return QStringLiteral("DRIVER=SQLite;DATABASE=%1;").arg(databaseName_);
    return odbcConnectionText(false);
}

void DataAccess::fail(const QString& why) {
    openError_ = hidePasswords(why);
    CloseSession();
}

void DataAccess::OpenSession(int, int) {
    openError_.clear();
    if (IsOpen()) return;
    QString why;
    if (isSqliteServer(server_)) {
        why = sqlite_.open(databaseName_, readOnly_);
        if (why.isEmpty()) {
            backend_ = Backend::NativeSqlite;
            applyCommandTimeout();
        }
    } else {
        why = openOdbc();
    }
    if (!why.isEmpty()) fail(why);
}

// Returns why the session could not open, or the empty text.
QString DataAccess::openOdbc() {
    if (server_.trimmed().isEmpty()) return QStringLiteral("no se indicó el servidor");
    const QString& driver = odbcDriver();
    if (driver.isEmpty())
        return QStringLiteral("no hay un controlador ODBC para SQL Server instalado "
                              "(instale \"ODBC Driver 18 for SQL Server\" o FreeTDS, "
                              "o indique uno en STOCKFIX_ODBC_DRIVER)");
    // The SQLite ODBC driver creates a missing file and takes an empty one for a database:
    // both are refused before it connects, and NoCreat keeps it from creating one meanwhile.
    if (isSqliteOdbcDriver(driver))
        if (const QString problem = sqliteFileProblem(databaseName_); !problem.isEmpty()) return problem;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
    db.setDatabaseName(odbcConnectionText(true));
    db.setConnectOptions(readOnly_ ? QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15;SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY")
                                   : QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15"));
    if (!db.open()) return driverText(db.lastError());
    // The engine behind the driver decides the dialect (the SQLite ODBC driver, say).
    const bool sqlite = dbmsName(db).contains(QStringLiteral("SQLite"), Qt::CaseInsensitive);
    if (sqlite) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            return QStringLiteral("%1: %2").arg(databaseName_, driverText(q.lastError()));
    }
    backend_ = sqlite ? Backend::SqliteOdbc : Backend::SqlServerOdbc;
    return {};
}

bool DataAccess::IsOpen() const {
    switch (backend_) {
    case Backend::Closed: return false;
    case Backend::NativeSqlite: return sqlite_.isOpen();
    case Backend::SqliteOdbc:
    case Backend::SqlServerOdbc:
        return QSqlDatabase::contains(connectionName_) && QSqlDatabase::database(connectionName_, false).isOpen();
    }
    return false;
}

QSqlDatabase DataAccess::database() const { return QSqlDatabase::database(connectionName_, false); }

void DataAccess::requireOpen() const {
    if (!IsOpen())
        throw RuntimeError(platform::kConnectionError,
                           QStringLiteral("No hay una sesión abierta con la base de datos."));
    // A SQLite file removed while the session is open would go on working unseen (the
    // system keeps the removed file for whoever has it open): say so instead.
    if (backend_ == Backend::NativeSqlite && !QFileInfo::exists(sqlite_.path()))
        throw RuntimeError(platform::kConnectionError,
                           QStringLiteral("El archivo de la base de datos ya no existe: %1").arg(sqlite_.path()));
}

Connection& DataAccess::connection() {
    requireOpen();
    return connection_;
}

void DataAccess::applyCommandTimeout() {
    if (backend_ == Backend::NativeSqlite) sqlite_.setBusyTimeout(connection_.commandTimeout_);
    // ODBC: set on each statement as it is prepared.
}

QString DataAccess::statementFor(const QString& sql) const {
    switch (backend_) {
    case Backend::Closed:
    case Backend::SqlServerOdbc: return sql;
    case Backend::NativeSqlite: return toSqliteDialect(sql);
    case Backend::SqliteOdbc: break;
    }
    bool sendable = true;
    QString text = withNarrowLiterals(toSqliteDialect(sql), &sendable);
    if (!sendable)
        raiseDatabaseError(QStringLiteral("la sentencia tiene, fuera de un literal, caracteres que el controlador ODBC de "
                                          "SQLite no puede llevar: no se envía"));
    return text;
}

void DataAccess::OpenRecordset(const QString& sql, platform::Recordset& rs, int, int, int) {
    requireOpen();
    rs.close();
    // Nothing to run is a statement that fails, on every engine (SQLite would give no rows,
    // SQL Server no result).
    if (sql.trimmed().isEmpty()) throw RuntimeError::of(platform::kNoCommandText);
    if (backend_ == Backend::NativeSqlite) return readSqliteRecordset(sqlite_.handle(), statementFor(sql), rs);
    readOdbcRecordset(database(), statementFor(sql), connection_.commandTimeout_, backend_ == Backend::SqliteOdbc, rs);
}

long long DataAccess::ExecuteSql(const QString& sql) {
    Statement q = PrepareQuery(sql);
    RunQuery(q);
    return q.rowsAffected();
}

void DataAccess::ExecuteDirect(const QString& sql) {
    requireOpen();
    if (backend_ == Backend::NativeSqlite) {
        Statement q(std::make_unique<SqliteStatement>(sqlite_.handle(), statementFor(sql)));
        q.run();
    } else {
        executeOdbcDirect(database(), statementFor(sql));
    }
}

Statement DataAccess::OpenQuery(const QString& sql) {
    Statement q = PrepareQuery(sql);
    RunQuery(q);
    return q;
}

Statement DataAccess::PrepareQuery(const QString& sql) {
    requireOpen();
    if (backend_ == Backend::NativeSqlite)
        return Statement(std::make_unique<SqliteStatement>(sqlite_.handle(), statementFor(sql)));
    return Statement(std::make_unique<OdbcStatement>(database(), statementFor(sql), connection_.commandTimeout_));
}

void DataAccess::RunQuery(Statement& query) {
    requireOpen();
    query.run();
}

// SQLite takes the statements themselves (BEGIN IMMEDIATE: the write lock now, not at the first
// write); ODBC goes through the driver's own transaction calls.
void DataAccess::transactionStep(const char* sqlite, bool (QSqlDatabase::*odbc)()) {
    requireOpen();
    if (backend_ == Backend::NativeSqlite) return sqlite_.execute(QLatin1String(sqlite));
    QSqlDatabase db = database();
    if (!(db.*odbc)()) raiseDatabaseError(driverText(db.lastError()));
}

void DataAccess::BeginTrans() { transactionStep("BEGIN IMMEDIATE", &QSqlDatabase::transaction); }
void DataAccess::CommitTrans() { transactionStep("COMMIT", &QSqlDatabase::commit); }
void DataAccess::RollbackTrans() { transactionStep("ROLLBACK", &QSqlDatabase::rollback); }

void DataAccess::CloseRecordset(platform::Recordset& rs) {
    if (!rs.isOpen()) throw RuntimeError::of(platform::kObjectClosed);
    rs.close();
}

}  // namespace utility
