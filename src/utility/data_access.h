#pragma once

#include "platform/recordset.h"
#include "utility/password_hiding.h"
#include "utility/sqlite_connection.h"
#include "utility/statement.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace utility {

class DataAccess;

// The session's connection; its command time-out acts on every statement.
class Connection {
public:
    int CommandTimeout() const { return commandTimeout_; }
    // Seconds; 0 waits without limit. On SQLite it is the busy time-out, on ODBC the
    // statement's query time-out.
    void setCommandTimeout(int seconds);

private:
    friend class DataAccess;
    explicit Connection(DataAccess* owner) : owner_(owner) {}
    DataAccess* owner_;
    int commandTimeout_ = 30;
};

// What a session reaches its database through.
enum class Backend {
    Closed,
    NativeSqlite,   // the session's own connection through SQLite's C interface
    SqliteOdbc,     // SQLite behind an ODBC driver
    SqlServerOdbc,  // SQL Server (or any engine but SQLite) behind an ODBC driver
};
// The statements go to SQLite, in its dialect.
inline bool speaksSqlite(Backend b) { return b == Backend::NativeSqlite || b == Backend::SqliteOdbc; }

// The program's one database session. `Server` "sqlite" (any case) opens the embedded
// SQLite file named by `DatabaseName`; any other server is SQL Server reached through
// ODBC. Statements are written in SQL Server's dialect and adapted when the engine behind
// the session is SQLite. Failures are recorded or raised, never shown.
class DataAccess {
public:

    DataAccess();
    virtual ~DataAccess();
    DataAccess(const DataAccess&) = delete;
    DataAccess& operator=(const DataAccess&) = delete;

    QString Server() const { return server_; }
    void setServer(const QString& server) { server_ = server; }
    QString DatabaseName() const { return databaseName_; }
    void setDatabaseName(const QString& name) { databaseName_ = name; }
    QString UserName() const { return userName_; }
    void setUserName(const QString& name) { userName_ = name; }
    QString Password() const { return password_; }
    void setPassword(const QString& password) { password_ = password; }
    // A session that only reads: SQLite refuses every write (no switch to WAL, no file
    // touched); ODBC asks the driver for read-only access. Set before OpenSession.
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // The connection text, never with the password in it.
    QString ConnectionString() const;

    // Opens the session from the properties. On failure the session stays closed and
    // lastOpenError says why; telling the user is the caller's part.
    void OpenSession(int kind, int cursorPlace);
    bool IsOpen() const;
    // Ends the session; SQLite checkpoints and removes its -wal when this was the last
    // connection. Nothing happens when no session is open.
    void CloseSession();
    // The session's connection; raises error when no session is open.
    Connection& connection();

    // Reads a SELECT's rows into `rs`, fixed as they are now. The last three arguments
    // are the cursor type, lock type and options, always 0, 1 and -1.
    void OpenRecordset(const QString& sql, platform::Recordset& rs, int cursorType = 0, int lockType = 1,
                       int options = -1);
    // Returns the number of rows the statement touched (-1 when the driver does not say).
    long long ExecuteSql(const QString& sql);
    // Runs a statement by direct execution, never prepared: a session setting (SET
    // IDENTITY_INSERT) lasts beyond it only so on SQL Server.
    void ExecuteDirect(const QString& sql);
    // A SELECT read row by row, forward only.
    Statement OpenQuery(const QString& sql);
    // The same, prepared once to run many times: bind its values, then RunQuery.
    Statement PrepareQuery(const QString& sql);
    void RunQuery(Statement& query);
    // One transaction around several statements. On SQLite it takes the write lock at
    // once, so no other session writes between its reads and its writes.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    void CloseRecordset(platform::Recordset& rs);

    // Why the last OpenSession failed (no password in it).
    const QString& lastOpenError() const { return openError_; }
    Backend backend() const { return backend_; }
    // The text sent to the engine for a statement of this system.
    QString statementFor(const QString& sql) const;
    // An ODBC session's Qt connection (no connection on the native SQLite path).
    QSqlDatabase database() const;

    // ODBC drivers installed on this machine, and the one used for SQL Server: the
    // environment variable STOCKFIX_ODBC_DRIVER, or the first installed of the usual ones.
    static QStringList installedOdbcDrivers();
    static QString sqlServerDriver();
    static bool isSqliteServer(const QString& server);
    static QString hidePasswords(const QString& text) { return utility::hidePasswords(text); }

private:
    friend class Connection;
    // Returns why the session could not open, or the empty text.
    QString openOdbc();
    void fail(const QString& why);
    void applyCommandTimeout();
    void requireOpen() const;
    void transactionStep(const char* sqlite, bool (QSqlDatabase::*odbc)());
    // The ODBC driver for this session, looked up once.
    const QString& odbcDriver() const;
    QString odbcConnectionText(bool withPassword) const;

    QString connectionName_;
    QString server_, databaseName_, userName_, password_;
    QString openError_;
    SqliteConnection sqlite_;
    mutable std::optional<QString> odbcDriver_;
    Backend backend_ = Backend::Closed;
    bool readOnly_ = false;
    Connection connection_;
};

}  // namespace utility
