#include "utility/data_access.h"

#include "platform/application.h"
#include "platform/runtime_error.h"
#include "utility/column_kinds.h"
#include "utility/field_sizes.h"
#include "utility/odbc_block_reader.h"
#include "utility/odbc_row_reader.h"
#include "utility/sqlite_handle.h"
#include "utility/sql_dialect.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <atomic>
#include <climits>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

namespace utility {

using platform::RuntimeError;

namespace {

std::atomic<int> sessionCounter{0};

// A value in an ODBC connection text: braces when it holds a separator or brace.
QString odbcValue(const QString& value) {
    if (!value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') && value.trimmed() == value)
        return value;
    QString v = value;
    return u'{' + v.replace(QStringLiteral("}"), QStringLiteral("}}")) + u'}';
}

template <class Handle>
Handle handleOf(const QVariant& v) {
    if (!v.isValid() || !v.data()) return nullptr;
    return *static_cast<Handle const*>(v.constData());
}

QString driverText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty()) return driver;
    if (!driver.isEmpty() && !text.contains(driver)) text = driver + QStringLiteral(": ") + text;
    return text;
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
    engine_ = Engine::None;
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

QStringList DataAccess::installedOdbcDrivers() {
    QStringList drivers;
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) return drivers;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR name[256];
    SQLCHAR attributes[1024];
    SQLSMALLINT nameLen = 0, attrLen = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDrivers(env, direction, name, sizeof name, &nameLen, attributes, sizeof attributes,
                                    &attrLen))) {
        drivers << QString::fromLocal8Bit(reinterpret_cast<const char*>(name));
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return drivers;
}

QString DataAccess::sqlServerDriver() {
    const QString configured = qEnvironmentVariable("STOCKFIX_ODBC_DRIVER").trimmed();
    if (!configured.isEmpty()) return configured;
    const QStringList installed = installedOdbcDrivers();
    for (const char* wanted : {"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server", "FreeTDS"})
        for (const QString& name : installed)
            if (name.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0) return name;
    return {};
}

QString DataAccess::odbcConnectionText(bool withPassword) const {
    const QString driver = sqlServerDriver();
    QString server = server_.trimmed();
    QString text = QStringLiteral("DRIVER={%1};").arg(driver);
    // FreeTDS takes the port apart; the Microsoft drivers take "host,port".
    const qsizetype comma = server.indexOf(u',');
    if (driver.contains(QStringLiteral("FreeTDS"), Qt::CaseInsensitive) && comma > 0) {
        text += QStringLiteral("SERVER=%1;PORT=%2;").arg(odbcValue(server.left(comma)), server.mid(comma + 1).trimmed());
    } else {
        text += QStringLiteral("SERVER=%1;").arg(odbcValue(server));
    }
    text += QStringLiteral("DATABASE=%1;UID=%2;").arg(odbcValue(databaseName_), odbcValue(userName_));
    if (withPassword) text += QStringLiteral("PWD=%1;").arg(odbcValue(password_));
    if (driver.contains(QStringLiteral("SQLite"), Qt::CaseInsensitive)) text += QStringLiteral("NoCreat=1;");
    const QString extra = qEnvironmentVariable("STOCKFIX_ODBC_OPTIONS").trimmed();
    if (!extra.isEmpty()) text += extra.endsWith(u';') ? extra : extra + u';';
    return text;
}

QString DataAccess::ConnectionString() const {
    if (isSqliteServer(server_)) return QStringLiteral("DRIVER=SQLite;DATABASE=%1;").arg(databaseName_);
    return odbcConnectionText(false);
}

QString DataAccess::hidePasswords(const QString& text) {
    // Only where a password stands as one, as the value of its key; "a" in "not a
    // database" is a word, not the password "a".
    static const QRegularExpression keyed(
        QStringLiteral(R"((\b(?:PWD|Password)\s*=\s*)(\{(?:[^}]|\}\})*\}|[^;\r\n]*))"),
        QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype from = 0;
    for (auto it = keyed.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        if (m.capturedLength(2) == 0) continue;
        out += QStringView(text).mid(from, m.capturedStart(2) - from);
        out += QStringLiteral("****");
        from = m.capturedEnd(2);
    }
    out += QStringView(text).mid(from);
    return out;
}

void DataAccess::fail(const QString& why) {
    openError_ = hidePasswords(why);
    CloseSession();
}

void DataAccess::OpenSession(int, int) {
    openError_.clear();
    if (IsOpen()) return;
    const QString why = isSqliteServer(server_) ? openSqlite() : openOdbc();
    if (!why.isEmpty()) fail(why);
}

// Why the file named by DatabaseName cannot be a SQLite database, or nothing. SQLite takes
// an empty file for an empty database and would write one into it, and some drivers create
// a missing one.
QString DataAccess::sqliteFileProblem() const {
    const QFileInfo file(databaseName_);
    if (databaseName_.trimmed().isEmpty()) return QStringLiteral("no se indicó el archivo de la base de datos");
    if (!file.exists()) return QStringLiteral("no existe el archivo %1").arg(databaseName_);
    if (!file.isFile()) return QStringLiteral("%1 no es un archivo").arg(databaseName_);
    if (file.size() == 0) return QStringLiteral("%1 está vacío (0 bytes): no es una base de datos").arg(databaseName_);
    return {};
}

QString DataAccess::openSqlite() {
    if (const QString problem = sqliteFileProblem(); !problem.isEmpty()) return problem;
    const QFileInfo file(databaseName_);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    sqlitePath_ = file.absoluteFilePath();
    db.setDatabaseName(sqlitePath_);
    if (!db.open()) return driverText(db.lastError());
    QSqlQuery q(db);
    // Reading the schema proves the file is a database before anything else happens.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return QStringLiteral("%1: %2").arg(databaseName_, driverText(q.lastError()));
    if (readOnly_) {
        // Opened for writing all the same: a read-only connection to a WAL file leaves its
        // -wal and -shm behind, while this one, the last to close, removes them.
        q.exec(QStringLiteral("PRAGMA query_only=ON"));
    } else {
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
    engine_ = Engine::Sqlite;
    viaOdbc_ = false;
    applyCommandTimeout();
    return {};
}

QString DataAccess::openOdbc() {
    if (server_.trimmed().isEmpty()) return QStringLiteral("no se indicó el servidor");
    const QString driver = sqlServerDriver();
    if (driver.isEmpty())
        return QStringLiteral("no hay un controlador ODBC para SQL Server instalado "
                              "(instale \"ODBC Driver 18 for SQL Server\" o FreeTDS, "
                              "o indique uno en STOCKFIX_ODBC_DRIVER)");
    // The SQLite ODBC driver creates a missing file and takes an empty one for a database:
    // both are refused before it connects, and NoCreat keeps it from creating one meanwhile.
    if (driver.contains(QStringLiteral("SQLite"), Qt::CaseInsensitive))
        if (const QString problem = sqliteFileProblem(); !problem.isEmpty()) return problem;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
    db.setDatabaseName(odbcConnectionText(true));
    db.setConnectOptions(readOnly_ ? QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15;SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY")
                                   : QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15"));
    if (!db.open()) return driverText(db.lastError());
    viaOdbc_ = true;
    engine_ = Engine::SqlServer;
    // The engine behind the driver decides the dialect (the SQLite ODBC driver, say).
    if (auto hdbc = handleOf<SQLHANDLE>(db.driver()->handle())) {
        SQLCHAR name[128] = {0};
        SQLSMALLINT len = 0;
        if (SQL_SUCCEEDED(SQLGetInfo(hdbc, SQL_DBMS_NAME, name, sizeof name, &len)) &&
            QString::fromLatin1(reinterpret_cast<const char*>(name)).contains(QStringLiteral("SQLite"), Qt::CaseInsensitive))
            engine_ = Engine::Sqlite;
    }
    if (engine_ == Engine::Sqlite) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            return QStringLiteral("%1: %2").arg(databaseName_, driverText(q.lastError()));
    }
    return {};
}


bool DataAccess::IsOpen() const {
    if (engine_ == Engine::None || !QSqlDatabase::contains(connectionName_)) return false;
    return QSqlDatabase::database(connectionName_, false).isOpen();
}

QSqlDatabase DataAccess::database() const { return QSqlDatabase::database(connectionName_, false); }

void DataAccess::requireOpen() const {
    if (!IsOpen())
        throw RuntimeError(platform::kConnectionError,
                           QStringLiteral("No hay una sesión abierta con la base de datos."));
    // A SQLite file removed while the session is open would go on working unseen (the
    // system keeps the removed file for whoever has it open): say so instead.
    if (engine_ == Engine::Sqlite && !viaOdbc_ && !QFileInfo::exists(sqlitePath_))
        throw RuntimeError(platform::kConnectionError,
                           QStringLiteral("El archivo de la base de datos ya no existe: %1").arg(sqlitePath_));
}

Connection& DataAccess::connection() {
    requireOpen();
    return connection_;
}

void DataAccess::applyCommandTimeout() {
    if (engine_ == Engine::Sqlite && !viaOdbc_) {
        const long long ms = connection_.commandTimeout_ == 0 ? INT_MAX : connection_.commandTimeout_ * 1000LL;
        QSqlQuery q(database());
        q.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(std::min<long long>(ms, INT_MAX)));
    }
    // ODBC: set on each statement as it is prepared (see prepareStatement).
}

QString DataAccess::statementFor(const QString& sql) const {
    if (engine_ != Engine::Sqlite) return sql;
    if (!viaOdbc_) return toSqliteDialect(sql);
    bool sendable = true;
    QString text = withNarrowLiterals(toSqliteDialect(sql), &sendable);
    if (!sendable)
        raiseDatabaseError(QStringLiteral("la sentencia tiene, fuera de un literal, caracteres que el controlador ODBC de "
                                          "SQLite no puede llevar: no se envía"));
    return text;
}

void DataAccess::raiseDatabaseError(const QString& text) const {
    throw RuntimeError(platform::kDatabaseError, hidePasswords(text));
}

namespace {

// Prepares `text` on `q`; on ODBC the statement gets the query time-out before it runs.
bool prepareStatement(QSqlQuery& q, const QString& text, bool odbc, int timeoutSeconds) {
    if (!q.prepare(text)) return false;
    if (odbc) {
        if (auto hstmt = handleOf<SQLHANDLE>(q.result()->handle()))
            SQLSetStmtAttr(hstmt, SQL_ATTR_QUERY_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
    }
    return true;
}

}  // namespace

// SQLite straight through its own interface: each text goes from the engine into the
// recordset's buffer without a QVariant or a QString on the way.
void DataAccess::openSqliteRecordset(const QString& text, platform::Recordset& rs) {
    const long long busyMs = connection_.commandTimeout_ == 0 ? INT_MAX : connection_.commandTimeout_ * 1000LL;
    const SqliteReadHandle reader(database(), sqlitePath_, int(std::min<long long>(busyMs, INT_MAX)));
    sqlite3* db = reader.get();
    if (!db) raiseDatabaseError(reader.error());
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare16_v2(db, text.utf16(), int(text.size() * sizeof(char16_t)), &stmt, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        raiseDatabaseError(why);
    }
    if (!stmt) throw RuntimeError::of(platform::kNoCommandText);  // nothing but blanks, comments or ";"
    struct Finalize {
        sqlite3_stmt* stmt;
        ~Finalize() { sqlite3_finalize(stmt); }
    } finalize{stmt};

    const int columns = sqlite3_column_count(stmt);
    std::vector<platform::FieldInfo> fields(static_cast<size_t>(columns));
    std::vector<bool> sizeFromValues(static_cast<size_t>(columns), false);
    for (int i = 0; i < columns; ++i) {
        fields[size_t(i)].name = QString::fromUtf8(sqlite3_column_name(stmt, i));
        const char* declared = sqlite3_column_decltype(stmt, i);
        const auto size = declared ? definedSizeForDeclaredType(QString::fromUtf8(declared)) : std::nullopt;
        fields[size_t(i)].definedSize = size.value_or(0);
        fields[size_t(i)].kind = declared ? columnKindForTypeName(QString::fromUtf8(declared)) : platform::ColumnKind::Plain;
        sizeFromValues[size_t(i)] = !size.has_value();
    }
    std::vector<int> longest(static_cast<size_t>(columns), 0);
    rs.open(fields);
    int step;
    while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            int length = 0;
            const int type = sqlite3_column_type(stmt, i);
            if (const platform::ColumnKind kind = fields[size_t(i)].kind;
                kind != platform::ColumnKind::Plain && type != SQLITE_NULL && type != SQLITE_BLOB) {
                if (kind == platform::ColumnKind::Boolean) {
                    if (type != SQLITE_TEXT) {
                        rs.append(QVariant(sqlite3_column_double(stmt, i) != 0));
                        continue;
                    }
                } else {
                    // Exact numbers and dates as SQLite writes them, which is what its ODBC
                    // driver hands over too; a date column's text read back as a date where it
                    // is one.
                    const auto* chars = static_cast<const char16_t*>(sqlite3_column_text16(stmt, i));
                    const QStringView text(chars, sqlite3_column_bytes16(stmt, i) / int(sizeof(char16_t)));
                    if (kind == platform::ColumnKind::Date) rs.append(dateCellFromText(text));
                    else rs.appendText(text);
                    continue;
                }
            }
            switch (type) {
            case SQLITE_NULL: rs.append(QVariant(), true); break;
            case SQLITE_INTEGER:
                rs.append(QVariant(qlonglong(sqlite3_column_int64(stmt, i))));
                length = 8;
                break;
            case SQLITE_FLOAT:
                rs.append(QVariant(sqlite3_column_double(stmt, i)));
                length = 8;
                break;
            case SQLITE_BLOB: {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt, i));
                length = sqlite3_column_bytes(stmt, i);
                rs.append(QVariant(QByteArray(bytes, length)));
                break;
            }
            default: {
                const auto* chars = static_cast<const char16_t*>(sqlite3_column_text16(stmt, i));
                length = sqlite3_column_bytes16(stmt, i) / int(sizeof(char16_t));
                rs.appendText(QStringView(chars, length));
            }
            }
            if (sizeFromValues[size_t(i)]) longest[size_t(i)] = std::max(longest[size_t(i)], length);
        }
    }
    if (step != SQLITE_DONE) {
        rs.close();
        raiseDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    // A computed column has no declared type: its longest value stands for its size.
    for (int i = 0; i < columns; ++i)
        if (sizeFromValues[size_t(i)]) fields[size_t(i)].definedSize = std::max(1, longest[size_t(i)]);
    rs.setFieldSizes(fields);
    rs.finishLoad();
}

void DataAccess::OpenRecordset(const QString& sql, platform::Recordset& rs, int, int, int) {
    requireOpen();
    rs.close();
    // Nothing to run is a statement that fails, on every engine (SQLite would give no rows,
    // SQL Server no result).
    if (sql.trimmed().isEmpty()) throw RuntimeError::of(platform::kNoCommandText);
    if (!viaOdbc_) return openSqliteRecordset(statementFor(sql), rs);
    QSqlQuery q(database());
    q.setForwardOnly(true);
    const QString text = statementFor(sql);
    if (!prepareStatement(q, text, viaOdbc_, connection_.commandTimeout_) || !q.exec())
        raiseDatabaseError(driverText(q.lastError()));

    // The columns as the driver describes them, read by what they hold: integers whole,
    // exact numbers and dates as the engine writes them, never through a double.
    std::vector<OdbcColumn> columns;
    QString why;
    if (!describeOdbcColumns(handleOf<SQLHANDLE>(q.result()->handle()), columns, why, engine_ == Engine::Sqlite))
        raiseDatabaseError(why);
    // Only comments, or ";": no command, as SQLite read directly says.
    if (columns.empty()) throw RuntimeError::of(platform::kNoCommandText);
    const std::vector<platform::FieldInfo> fields = fieldsOf(columns);
    rs.open(fields);
    // Blocks of rows into the recordset's buffers when the driver and the columns allow it.
    QString blockError;  // a real failure shows again on the row-by-row read
    switch (readOdbcBlocks(handleOf<SQLHANDLE>(q.result()->handle()), rs, blockError)) {
    case BlockRead::Done: return rs.finishLoad();
    case BlockRead::NotSuitable: break;
    case BlockRead::Restart:
        q = QSqlQuery(database());
        q.setForwardOnly(true);
        if (!prepareStatement(q, text, viaOdbc_, connection_.commandTimeout_) || !q.exec())
            raiseDatabaseError(driverText(q.lastError()));
        rs.open(fields);
        break;
    }
    if (!readOdbcRows(handleOf<SQLHANDLE>(q.result()->handle()), columns, rs, why)) {
        rs.close();
        raiseDatabaseError(why);
    }
    rs.finishLoad();
}

long long DataAccess::ExecuteSql(const QString& sql) {
    QSqlQuery q = PrepareQuery(sql);
    RunQuery(q);
    return q.numRowsAffected();
}

void DataAccess::ExecuteDirect(const QString& sql) {
    requireOpen();
    QSqlQuery q(database());
    if (!q.exec(statementFor(sql))) raiseDatabaseError(driverText(q.lastError()));
}

QSqlQuery DataAccess::OpenQuery(const QString& sql) {
    QSqlQuery q = PrepareQuery(sql);
    RunQuery(q);
    return q;
}

QSqlQuery DataAccess::PrepareQuery(const QString& sql) {
    requireOpen();
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!prepareStatement(q, statementFor(sql), viaOdbc_, connection_.commandTimeout_))
        raiseDatabaseError(driverText(q.lastError()));
    return q;
}

void DataAccess::RunQuery(QSqlQuery& query) {
    requireOpen();
    if (!query.exec()) raiseDatabaseError(driverText(query.lastError()));
}

// SQLite takes the statements themselves (BEGIN IMMEDIATE: the write lock now, not at the first
// write); ODBC goes through the driver's own transaction calls.
void DataAccess::transactionStep(const QString& sqlite, bool (QSqlDatabase::*odbc)()) {
    requireOpen();
    QSqlDatabase db = database();
    if (!viaOdbc_) {
        QSqlQuery q(db);
        if (!q.exec(sqlite)) raiseDatabaseError(driverText(q.lastError()));
    } else if (!(db.*odbc)()) {
        raiseDatabaseError(driverText(db.lastError()));
    }
}

void DataAccess::BeginTrans() { transactionStep(QStringLiteral("BEGIN IMMEDIATE"), &QSqlDatabase::transaction); }
void DataAccess::CommitTrans() { transactionStep(QStringLiteral("COMMIT"), &QSqlDatabase::commit); }
void DataAccess::RollbackTrans() { transactionStep(QStringLiteral("ROLLBACK"), &QSqlDatabase::rollback); }

void DataAccess::CloseRecordset(platform::Recordset& rs) {
    if (!rs.isOpen()) throw RuntimeError::of(platform::kObjectClosed);
    rs.close();
}

}  // namespace utility
