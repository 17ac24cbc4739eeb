// lookup_blackbox_table: the table and the floor of the black-box lookup benchmark
// (lookup_blackbox.sh).
//
//   lookup_blackbox_table write FILE ROWS   a new SQLite file with ROWS article-like rows
//                                           in ARTICULOS (DESCRIPCION, IDARTICULO), and
//                                           an empty TA_CONFIGURACION
//   lookup_blackbox_table floor FILE ROWS   steps kSelect with the SQLite C API, every cell
//                                           copied, and prints "floor_c_api_ms VALUE ms"
#include "article_texts.h"
#include "bench_output.h"
#include "sqlite_floor.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>

namespace {

const char* const kSelect = "SELECT DESCRIPCION, IDARTICULO FROM ARTICULOS";

[[noreturn]] void die(const char* why) {
    std::fprintf(stderr, "lookup_blackbox_table: %s\n", why);
    std::exit(1);
}

void bindText(sqlite3_stmt* stmt, int at, const QString& text) {
    sqlite3_bind_text16(stmt, at, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
}

void writeTable(const QString& file, int rows) {
    QFile::remove(file);
    sqlite3* db = nullptr;
    if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK) die("cannot create the file");
    auto run = [&](const char* sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) die(sqlite3_errmsg(db));
    };
    // The start-up reads its configuration values from here (none set: the defaults).
    run("CREATE TABLE TA_CONFIGURACION (CLAVE VARCHAR(50), VALOR VARCHAR(255))");
    run("CREATE TABLE ARTICULOS (DESCRIPCION VARCHAR(40), IDARTICULO VARCHAR(15))");
    run("BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO ARTICULOS VALUES (?, ?)", -1, &insert, nullptr);
    const ArticleTexts texts(rows);
    for (int i = 0; i < rows; ++i) {
        bindText(insert, 1, texts.description(i));
        bindText(insert, 2, texts.code(i));
        if (sqlite3_step(insert) != SQLITE_DONE) die(sqlite3_errmsg(db));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    run("COMMIT");
    sqlite3_close(db);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) die("uso: lookup_blackbox_table write|floor FILE ROWS");
    const QString file = QString::fromLocal8Bit(argv[2]);
    const int rows = std::atoi(argv[3]);
    if (rows < 1) die("ROWS must be at least 1");
    if (std::strcmp(argv[1], "write") == 0) {
        writeTable(file, rows);
    } else if (std::strcmp(argv[1], "floor") == 0) {
        const double ms = floorCApi(file, kSelect, rows);
        if (ms < 0) die("the C API read a different number of rows");
        printFigure("floor_c_api_ms", ms, 1, "ms");
    } else {
        die("uso: lookup_blackbox_table write|floor FILE ROWS");
    }
    return 0;
}
