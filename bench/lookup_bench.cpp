// lookup_bench: a lookup over a large table, measured in one run.
//
//   lookup_bench [--rows N] [--data random|articles] [--odbc DRIVER]
//
// N rows (default 1,000,000) of 3 text columns in a SQLite file: `random` texts of 9 to 15
// characters, or `articles`, texts like real article descriptions (most rows share their
// first words and differ in a number, codes that share their letters, few groups). The
// session reads the file natively, or with --odbc through that ODBC driver (the SQLite3
// driver standing in for SQL Server's). Prints one figure per line as "name value unit"
// (numbers with a period whatever the locale):
//   floor_c_api_ms / floor_odbc_block_ms  the same SELECT straight through the SQLite C API,
//                    or as a block fetch with bound columns through the same ODBC driver,
//                    copying every cell: the floor the open is measured against
//   open_ms          ConsultaSearch until the window is up, rows loaded and sorted
//   open_to_floor    open_ms over the floor
//   interactive_ms   ConsultaSearch until the first typed search is answered, index builds included
//   keystroke_ms_max the slowest keystroke, typing letter by letter, the first after the
//                    opening and the first after a sort included
//   sort_new_column_ms, sort_flip_ms, focus_new_box_ms, fill_dropdown_ms, bytes_per_cell, close_ms
#include "article_texts.h"
#include "bench_output.h"
#include "sqlite_floor.h"
#include "lookup/lib_cls_cons2.h"
#include "lookup/lib_frm_cons2.h"
#include "platform/report_list_view.h"
#include "platform/application.h"
#include "platform/key_codes.h"
#include "utility/library.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

const char* const kSelect = "SELECT DESCRIPCION, IDARTICULO, RUBRO FROM V_MA_ARTICULOS";

long long statusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(int(std::strlen(field))).trimmed().split(' ').front().toLongLong();
    return -1;
}

// Lets the peak resident size start again from the current one.
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

[[noreturn]] void die(const char* why) {
    std::fprintf(stderr, "lookup_bench: %s\n", why);
    std::exit(1);
}

QString randomText(std::mt19937& rng) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz0123456789";
    const int length = std::uniform_int_distribution<int>(9, 15)(rng);
    QString s;
    for (int i = 0; i < length; ++i) s += QLatin1Char(letters[std::uniform_int_distribution<int>(0, 62)(rng)]);
    return s;
}

void makeTable(const QString& file, int rows, bool articles) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(file);
    db.open();
    QSqlQuery(db).exec(QStringLiteral("CREATE TABLE V_MA_ARTICULOS (DESCRIPCION VARCHAR(40), IDARTICULO VARCHAR(15), "
                                      "RUBRO VARCHAR(15))"));
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES (?, ?, ?)"));
    std::mt19937 rng(11);
    const ArticleTexts texts(articles ? rows : 0);
    for (int i = 0; i < rows; ++i) {
        insert.bindValue(0, articles ? texts.description(i) : randomText(rng));
        insert.bindValue(1, articles ? texts.code(i) : randomText(rng));
        insert.bindValue(2, articles ? texts.group(i) : randomText(rng));
        insert.exec();
    }
    insert = QSqlQuery();
    db.commit();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

// The floor over ODBC: a block fetch of 1024 rows into bound wide-character columns,
// every cell copied.
double floorOdbcBlock(const QString& driver, const QString& file, int rows) {
    QElapsedTimer t;
    t.start();
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    const QByteArray connect = QStringLiteral("DRIVER={%1};DATABASE=%2;").arg(driver, file).toUtf8();
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, (SQLCHAR*)connect.constData(), SQL_NTS, nullptr, 0, nullptr,
                                        SQL_DRIVER_NOPROMPT)))
        die("ODBC connect");
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    constexpr SQLULEN kBlock = 1024;
    constexpr SQLLEN kWidth = 64;  // characters per cell, terminator included
    SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0);
    SQLULEN fetched = 0;
    SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    if (!SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)kSelect, SQL_NTS))) die("ODBC execute");
    std::vector<std::vector<SQLWCHAR>> buffers(3, std::vector<SQLWCHAR>(kBlock * kWidth));
    std::vector<std::vector<SQLLEN>> lengths(3, std::vector<SQLLEN>(kBlock));
    for (int c = 0; c < 3; ++c)
        SQLBindCol(stmt, SQLUSMALLINT(c + 1), SQL_C_WCHAR, buffers[size_t(c)].data(), kWidth * sizeof(SQLWCHAR),
                   lengths[size_t(c)].data());
    std::vector<std::u16string> columns(3);
    std::vector<std::vector<uint32_t>> ends(3);
    for (auto& e : ends) e.reserve(size_t(rows));
    SQLRETURN rc;
    while (SQL_SUCCEEDED(rc = SQLFetch(stmt)))
        for (SQLULEN r = 0; r < fetched; ++r)
            for (int c = 0; c < 3; ++c) {
                const SQLLEN n = lengths[size_t(c)][r];
                if (n > 0)
                    columns[size_t(c)].append(reinterpret_cast<const char16_t*>(&buffers[size_t(c)][r * kWidth]),
                                              size_t(n) / sizeof(SQLWCHAR));
                ends[size_t(c)].push_back(uint32_t(columns[size_t(c)].size()));
            }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    if (ends[0].size() != size_t(rows)) die("the block fetch read a different number of rows");
    return t.nsecsElapsed() / 1e6;
}

double msSince(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rows = 1000000;
    bool articles = false;
    QString odbcDriver;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rows") == 0) rows = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--data") == 0) articles = std::strcmp(argv[i + 1], "articles") == 0;
        else if (std::strcmp(argv[i], "--odbc") == 0) odbcDriver = QString::fromLocal8Bit(argv[i + 1]);
        else die("uso: lookup_bench [--rows N] [--data random|articles] [--odbc DRIVER]");
    }
    if (rows < 100) die("--rows must be at least 100");

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lookup.sqlite"));
    makeTable(file, rows, articles);
    const QString sql = QString::fromLatin1(kSelect);

    auto& session = utility::dataAccess();
    if (odbcDriver.isEmpty()) {
        session.setServer(QStringLiteral("sqlite"));
    } else {
        qputenv("STOCKFIX_ODBC_DRIVER", odbcDriver.toLocal8Bit());
        session.setServer(QStringLiteral("localhost"));
    }
    session.setDatabaseName(file);
    session.OpenSession(0, 3);
    if (!session.IsOpen()) die("no session");

    const double floorMs = odbcDriver.isEmpty() ? floorCApi(file, kSelect, rows) : floorOdbcBlock(odbcDriver, file, rows);
    if (floorMs < 0) die("the C API read a different number of rows");

    lookup::Lib_ClsCons2 request;
    lookup::Coleccion cmps;
    QString campo;
    QElapsedTimer timer;
    double openMs = 0, interactiveMs = 0, closeMs = 0, keyMax = 0, keyFirstAfterOpen = 0, keyFirstAfterSort = 0;
    double sortNewMs = 0, sortFlipMs = 0, focusNewBoxMs = 0, fillMs = 0;
    long long peakKb = 0;
    qsizetype shownRows = 0;
    const long long baselineKb = statusKb("VmRSS:");
    resetPeak();
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<lookup::Lib_FrmCons2*>(QApplication::activeModalWidget());
        openMs = msSince(timer);
        if (!w) return;
        shownRows = w->ListView1->items().count();
        // Typing letter by letter into a box: every keystroke is a search.
        auto typeInto = [&](int box, const QString& text) {
            double first = -1;
            for (qsizetype k = 1; k <= text.size(); ++k) {
                QElapsedTimer t;
                t.start();
                w->CmbSearch[box]->setEditText(text.left(k));
                const double ms = msSince(t);
                if (first < 0) first = ms;
                keyMax = std::max(keyMax, ms);
            }
            return first;
        };
        // The user is in box 0 (it has the focus at opening) and types a text found far down.
        QApplication::processEvents();
        w->CmbSearch_GotFocus(0);
        const QString farDown = w->ListView1->itemText(shownRows * 9 / 10).left(12);
        keyFirstAfterOpen = typeInto(0, farDown.left(1));
        interactiveMs = msSince(timer);
        typeInto(0, farDown);
        typeInto(0, QStringLiteral("~~~~~~"));
        peakKb = statusKb("VmHWM:");

        QElapsedTimer t;
        t.start();
        w->ListView1_ColumnClick(2);  // a new column (descending: the order flips on every click)
        sortNewMs = msSince(t);
        keyFirstAfterSort = typeInto(0, farDown.left(8));
        t.restart();
        w->ListView1_ColumnClick(2);  // the same column the other way round
        sortFlipMs = msSince(t);
        typeInto(0, farDown.left(10));
        // Into the box of the column just sorted: its index is built when it takes the focus.
        t.restart();
        w->CmbSearch_GotFocus(1);
        focusNewBoxMs = msSince(t);
        typeInto(1, w->ListView1->subItem(shownRows / 3, 1).left(8));
        peakKb = std::max(peakKb, statusKb("VmHWM:"));

        // F5, "Llenar Con Posibles Valores": the whole column into the box's drop-down list.
        w->mostrarMenu = [w](QMenu&) { w->MNU_Llena->trigger(); };
        int16_t f5 = platform::vbKeyF5, shift = 0;
        t.restart();
        w->CmbSearch_KeyDown(1, f5, shift);
        fillMs = msSince(t);
        if (w->CmbSearch[1]->count() != shownRows) std::fprintf(stderr, "lookup_bench: the drop-down list is short\n");
        timer.restart();
        w->CmdCancelar_Click();
    });
    timer.start();
    request.ConsultaSearch(sql, cmps, QString(), campo);
    closeMs = msSince(timer);
    if (shownRows != rows) {
        std::fprintf(stderr, "lookup_bench: the window showed %lld rows of %d\n", static_cast<long long>(shownRows), rows);
        return 1;
    }
    const double cells = 3.0 * rows;
    printWord("data", articles ? "articles" : "random");
    printWord("path", odbcDriver.isEmpty() ? QByteArray("sqlite") : "odbc:" + odbcDriver.toUtf8());
    printWord("locale", QLocale().name().toUtf8());
    printFigure("rows", rows, 0, "count");
    printFigure(odbcDriver.isEmpty() ? "floor_c_api_ms" : "floor_odbc_block_ms", floorMs, 1, "ms");
    printFigure("open_ms", openMs, 1, "ms");
    printFigure("open_to_floor", openMs / floorMs, 2, "x");
    printFigure("interactive_ms", interactiveMs, 1, "ms");
    printFigure("keystroke_ms_max", keyMax, 2, "ms");
    printFigure("keystroke_first_after_open_ms", keyFirstAfterOpen, 2, "ms");
    printFigure("keystroke_first_after_sort_ms", keyFirstAfterSort, 2, "ms");
    printFigure("sort_new_column_ms", sortNewMs, 1, "ms");
    printFigure("sort_flip_ms", sortFlipMs, 1, "ms");
    printFigure("focus_new_box_ms", focusNewBoxMs, 1, "ms");
    printFigure("fill_dropdown_ms", fillMs, 1, "ms");
    printFigure("bytes_per_cell", (peakKb - baselineKb) * 1024.0 / cells, 1, "bytes");
    printFigure("close_ms", closeMs, 1, "ms");
    utility::dataAccessSlot().release();
    return 0;
}
