#include "utility/sqlite_statement.h"

#include "platform/runtime_error.h"
#include "utility/password_hiding.h"

#include <sqlite3.h>

namespace utility {

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : db_(db) {
    const void* tail = nullptr;
    if (sqlite3_prepare16_v2(db_, sql.utf16(), int(sql.size() * sizeof(char16_t)), &stmt_, &tail) != SQLITE_OK) raise();
    if (!stmt_) throw platform::RuntimeError::of(platform::kNoCommandText);
    // One statement at a time: what follows the first one is refused, never run.
    const auto* rest = static_cast<const char16_t*>(tail);
    const qsizetype used = rest ? rest - reinterpret_cast<const char16_t*>(sql.utf16()) : sql.size();
    if (!QStringView(sql).mid(used).trimmed().isEmpty()) {
        sqlite3_finalize(stmt_);  // no destructor runs for a constructor that raises
        throw platform::RuntimeError(platform::kDatabaseError,
                                     QStringLiteral("Unable to execute multiple statements at a time"));
    }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

void SqliteStatement::raise() const {
    throw platform::RuntimeError(platform::kDatabaseError, hidePasswords(QString::fromUtf8(sqlite3_errmsg(db_))));
}

void SqliteStatement::bind(int index, const QVariant& value) {
    if (!done_ || rowWaiting_) finish();
    const int at = index + 1;
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(stmt_, at);
    } else {
        switch (value.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: rc = sqlite3_bind_int64(stmt_, at, value.toLongLong()); break;
        case QMetaType::Double:
        case QMetaType::Float: rc = sqlite3_bind_double(stmt_, at, value.toDouble()); break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(stmt_, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QString text = value.toString();
            rc = sqlite3_bind_text16(stmt_, at, text.utf16(), int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK) raise();
}

bool SqliteStatement::step() {
    switch (sqlite3_step(stmt_)) {
    case SQLITE_ROW: return true;
    case SQLITE_DONE: done_ = true; return false;
    default: {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_reset(stmt_);
        done_ = true;
        throw platform::RuntimeError(platform::kDatabaseError, hidePasswords(why));
    }
    }
}

void SqliteStatement::run() {
    sqlite3_reset(stmt_);
    rowWaiting_ = false;
    done_ = false;
    changes_ = 0;
    rowWaiting_ = step();
    if (!rowWaiting_) changes_ = sqlite3_changes64(db_);
}

bool SqliteStatement::next() {
    if (rowWaiting_) {
        rowWaiting_ = false;
        return true;
    }
    return !done_ && step();
}

QVariant SqliteStatement::value(int index) const {
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(stmt_, index)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt_, index));
    case SQLITE_NULL: return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, index)), sqlite3_column_bytes(stmt_, index)));
    default:
        return QVariant(QString(reinterpret_cast<const QChar*>(sqlite3_column_text16(stmt_, index)),
                                sqlite3_column_bytes16(stmt_, index) / qsizetype(sizeof(QChar))));
    }
}

QStringList SqliteStatement::columnNames() const {
    QStringList names;
    for (int i = 0, n = sqlite3_column_count(stmt_); i < n; ++i) names << QString::fromUtf8(sqlite3_column_name(stmt_, i));
    return names;
}

void SqliteStatement::finish() {
    sqlite3_reset(stmt_);
    rowWaiting_ = false;
    done_ = true;
}

}  // namespace utility
