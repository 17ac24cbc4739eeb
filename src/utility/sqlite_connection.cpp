#include "utility/sqlite_connection.h"

#include "platform/runtime_error.h"
#include "utility/password_hiding.h"

#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <sqlite3.h>

namespace utility {

QString sqliteFileProblem(const QString& name) {
    const QFileInfo file(name);
    if (name.trimmed().isEmpty()) return QStringLiteral("no se indicó el archivo de la base de datos");
    if (!file.exists()) return QStringLiteral("no existe el archivo %1").arg(name);
    if (!file.isFile()) return QStringLiteral("%1 no es un archivo").arg(name);
    if (file.size() == 0) return QStringLiteral("%1 está vacío (0 bytes): no es una base de datos").arg(name);
    return {};
}

namespace {

QString errorOf(sqlite3* db) { return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("sin memoria para SQLite"); }

}  // namespace

QString SqliteConnection::open(const QString& name, bool readOnly) {
    close();
    if (const QString problem = sqliteFileProblem(name); !problem.isEmpty()) return problem;
    path_ = QFileInfo(name).absoluteFilePath();
    // Opened for writing even when read-only: a read-only connection to a WAL file leaves
    // its -wal and -shm behind, while this one, the last to close, removes them. Never
    // created: the file was checked above. One thread uses the session: no mutex around
    // each call.
    if (sqlite3_open_v2(path_.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        const QString why = errorOf(db_);
        close();
        return why;
    }
    // Reading the schema proves the file is a database before anything else happens.
    if (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString why = QStringLiteral("%1: %2").arg(name, errorOf(db_));
        close();
        return why;
    }
    const char* const settings = readOnly ? "PRAGMA query_only=ON" : "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL";
    sqlite3_exec(db_, settings, nullptr, nullptr, nullptr);
    return {};
}

void SqliteConnection::close() {
    // Statements still prepared elsewhere keep the connection until they are finalized.
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqliteConnection::setBusyTimeout(int seconds) {
    const long long ms = seconds <= 0 ? INT_MAX : seconds * 1000LL;
    sqlite3_busy_timeout(db_, int(std::min<long long>(ms, INT_MAX)));
}

void SqliteConnection::execute(const QString& sql) {
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw platform::RuntimeError(platform::kDatabaseError, hidePasswords(errorOf(db_)));
}

}  // namespace utility
