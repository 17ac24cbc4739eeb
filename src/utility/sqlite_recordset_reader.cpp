#include "utility/sqlite_recordset_reader.h"

#include "platform/runtime_error.h"
#include "utility/column_kinds.h"
#include "utility/field_sizes.h"
#include "utility/password_hiding.h"

#include <memory>
#include <sqlite3.h>
#include <vector>

namespace utility {

namespace {

[[noreturn]] void raise(const QString& text) { throw platform::RuntimeError(platform::kDatabaseError, hidePasswords(text)); }

}  // namespace

void readSqliteRecordset(sqlite3* db, const QString& text, platform::Recordset& rs) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare16_v2(db, text.utf16(), int(text.size() * sizeof(char16_t)), &stmt, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        raise(why);
    }
    if (!stmt) throw platform::RuntimeError::of(platform::kNoCommandText);  // nothing but blanks, comments or ";"
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> finalize(stmt, sqlite3_finalize);

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
        raise(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    // A computed column has no declared type: its longest value stands for its size.
    for (int i = 0; i < columns; ++i)
        if (sizeFromValues[size_t(i)]) fields[size_t(i)].definedSize = std::max(1, longest[size_t(i)]);
    rs.setFieldSizes(fields);
    rs.finishLoad();
}

}  // namespace utility
