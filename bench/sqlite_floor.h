#pragma once

#include <QElapsedTimer>
#include <QString>
#include <sqlite3.h>
#include <string>
#include <vector>

// The floor over SQLite: the statement stepped with the C API, every cell copied into
// one buffer per column. The time in milliseconds, or -1 when the statement does not run
// or reads other than `rows` rows.
inline double floorCApi(const QString& file, const char* select, int rows) {
    QElapsedTimer t;
    t.start();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, select, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    const int n = sqlite3_column_count(stmt);
    std::vector<std::u16string> columns(static_cast<size_t>(n));
    std::vector<std::vector<uint32_t>> ends(static_cast<size_t>(n));
    for (auto& e : ends) e.reserve(size_t(rows));
    size_t read = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c) {
            const auto* chars = static_cast<const char16_t*>(sqlite3_column_text16(stmt, c));
            if (chars) columns[size_t(c)].append(chars, size_t(sqlite3_column_bytes16(stmt, c)) / 2);
            ends[size_t(c)].push_back(uint32_t(columns[size_t(c)].size()));
        }
        ++read;
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return read == size_t(rows) ? t.nsecsElapsed() / 1e6 : -1;
}
