// lookup_bench: a lookup over a large table, measured in one run.
//
//   lookup_bench [--rows N]
//
// N rows (default 1,000,000) of 3 text columns of about 12 characters in SQLite. Prints one
// figure per line as "name value unit": the raw forward-only fetch of the same statement
// (the floor), the time from ConsultaSearch to the window loaded and sorted, peak memory per
// cell above the baseline, the time to close the window; and, on the open window, the
// slowest search as the user types, sorting by a new column, flipping the order, and
// filling a search box's drop-down list with the whole column.
#include "lookup/lib_cls_cons2.h"
#include "lookup/lib_frm_cons2.h"
#include "platform/application.h"
#include "platform/key_codes.h"
#include "utility/library.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QComboBox>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

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

QString randomText(std::mt19937& rng) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz0123456789";
    const int length = std::uniform_int_distribution<int>(9, 15)(rng);
    QString s;
    for (int i = 0; i < length; ++i) s += QLatin1Char(letters[std::uniform_int_distribution<int>(0, 62)(rng)]);
    return s;
}

void makeTable(const QString& file, int rows) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(file);
    db.open();
    QSqlQuery(db).exec(QStringLiteral("CREATE TABLE V_MA_ARTICULOS (DESCRIPCION VARCHAR(15), IDARTICULO VARCHAR(15), "
                                      "RUBRO VARCHAR(15))"));
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES (?, ?, ?)"));
    std::mt19937 rng(11);
    for (int i = 0; i < rows; ++i) {
        insert.bindValue(0, randomText(rng));
        insert.bindValue(1, randomText(rng));
        insert.bindValue(2, randomText(rng));
        insert.exec();
    }
    insert = QSqlQuery();
    db.commit();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rows = 1000000;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "--rows") == 0) rows = std::atoi(argv[i + 1]);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lookup.sqlite"));
    makeTable(file, rows);
    const QString sql = QStringLiteral("SELECT DESCRIPCION, IDARTICULO, RUBRO FROM V_MA_ARTICULOS");

    auto& session = utility::dataAccess();
    session.setServer(QStringLiteral("sqlite"));
    session.setDatabaseName(file);
    session.OpenSession(0, 3);
    if (!session.IsOpen()) return 1;

    // The floor: the same statement fetched forward-only, every value read as text.
    QElapsedTimer timer;
    timer.start();
    {
        QSqlQuery q(session.database());
        q.setForwardOnly(true);
        q.exec(sql);
        qsizetype chars = 0;
        while (q.next())
            for (int c = 0; c < 3; ++c) chars += q.value(c).toString().size();
        if (chars == 0) return 1;
    }
    const double rawMs = timer.nsecsElapsed() / 1e6;

    lookup::Lib_ClsCons2 request;
    lookup::Coleccion cmps;
    QString campo;
    double openMs = 0, closeMs = 0, searchMs = 0, sortNewMs = 0, sortFlipMs = 0, fillMs = 0;
    long long peakKb = 0;
    qsizetype shownRows = 0;
    const long long baselineKb = statusKb("VmRSS:");
    resetPeak();
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<lookup::Lib_FrmCons2*>(QApplication::activeModalWidget());
        openMs = timer.nsecsElapsed() / 1e6;
        peakKb = statusKb("VmHWM:");
        if (!w) return;
        shownRows = w->ListView1->items().count();
        QApplication::processEvents();

        // Searching as the user types: a text found far down, one found nowhere, and the
        // same again with the list sorted descending by another column.
        const QString farDown = w->ListView1->itemText(shownRows * 9 / 10).left(6);
        w->CmbSearch_GotFocus(0);  // the user is in the box before typing (box 0 has the focus at opening)
        auto search = [&](const QString& text) {
            QElapsedTimer t;
            t.start();
            w->CmbSearch[0]->setEditText(text);
            const double ms = t.nsecsElapsed() / 1e6;
            if (qEnvironmentVariableIsSet("LOOKUP_BENCH_VERBOSE")) std::fprintf(stderr, "search %s %.2f ms\n", qPrintable(text), ms);
            return ms;
        };
        searchMs = std::max({searchMs, search(farDown), search(QStringLiteral("~~~~~~"))});
        QElapsedTimer t;
        t.start();
        w->ListView1_ColumnClick(2);  // a new column (descending: the order flips on every click)
        sortNewMs = t.nsecsElapsed() / 1e6;
        t.restart();
        w->ListView1_ColumnClick(2);  // the same column the other way round
        sortFlipMs = t.nsecsElapsed() / 1e6;
        w->ListView1_ColumnClick(2);
        searchMs = std::max({searchMs, search(farDown.left(3)), search(QStringLiteral("~~~~~~~"))});

        // F5, "Llenar Con Posibles Valores": the whole column into the box's drop-down list.
        w->mostrarMenu = [w](QMenu&) { w->MNU_Llena->trigger(); };
        int16_t f5 = platform::vbKeyF5, shift = 0;
        t.restart();
        w->CmbSearch_KeyDown(1, f5, shift);
        fillMs = t.nsecsElapsed() / 1e6;
        if (w->CmbSearch[1]->count() != shownRows) std::fprintf(stderr, "lookup_bench: the drop-down list is short\n");

        timer.restart();
        w->CmdCancelar_Click();
    });
    timer.restart();
    request.ConsultaSearch(sql, cmps, QString(), campo);
    closeMs = timer.nsecsElapsed() / 1e6;
    if (shownRows != rows) {
        std::fprintf(stderr, "lookup_bench: the window showed %lld rows of %d\n", static_cast<long long>(shownRows), rows);
        return 1;
    }
    const double cells = 3.0 * rows;
    std::printf("rows %d count\n", rows);
    std::printf("raw_fetch_ms %.1f ms\n", rawMs);
    std::printf("open_ms %.1f ms\n", openMs);
    std::printf("open_to_raw %.2f x\n", openMs / rawMs);
    std::printf("bytes_per_cell %.1f bytes\n", (peakKb - baselineKb) * 1024.0 / cells);
    std::printf("close_ms %.1f ms\n", closeMs);
    std::printf("search_ms_max %.2f ms\n", searchMs);
    std::printf("sort_new_column_ms %.1f ms\n", sortNewMs);
    std::printf("sort_flip_ms %.1f ms\n", sortFlipMs);
    std::printf("fill_dropdown_ms %.1f ms\n", fillMs);
    utility::dataAccessSlot().release();
    return 0;
}
