// correction_bench: the correction run against one set-based DELETE.
//
//   correction_bench [--vouchers N] [--good M] [--odbc DRIVER]
//
// Builds a database with N purchase vouchers without a header account (5 stock rows each)
// among M good ones (default 4 N), copies it, times the batch run on one copy (its deletion
// journal written and synced as always) and a single set-based DELETE on the other, checks
// both leave the same rows, and prints one figure per line as "name value unit" (numbers with
// a period whatever the locale). With --odbc the run's session reaches the file through that
// ODBC driver (the SQLite3 driver standing in for SQL Server's).
#include "bench_output.h"
#include "correction/corrida_correccion.h"
#include "correction/diario_borrado.h"
#include "demo/demo_database.h"
#include "platform/application.h"
#include "platform/prompts.h"
#include "utility/library.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Writes the status texts as batch mode does, to a sink nobody reads.
class NullStatus : public correction::LineaEstado {
public:
    NullStatus() : out_(std::fopen("/dev/null", "w")) {}
    ~NullStatus() override { std::fclose(out_); }
    void mostrar(const QString& text) override {
        if (text.isEmpty()) return;
        std::fputs(text.toLocal8Bit().constData(), out_);
        std::fputc('\n', out_);
    }

private:
    FILE* out_;
};

class QuietPrompter : public platform::Prompter {
public:
    int msgBox(const QString&, int, const QString&) override { return platform::vbOK; }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    bool hasWindows() const override { return false; }
};

long long stockRows(QSqlDatabase& db) {
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT count(*) FROM V_MV_Stock"));
    return q.next() ? q.value(0).toLongLong() : -1;
}

[[noreturn]] void die(const QString& why) {
    std::fprintf(stderr, "correction_bench: %s\n", why.toLocal8Bit().constData());
    std::exit(1);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    int bad = 20000;
    int good = -1;
    QString odbcDriver;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--vouchers") == 0) bad = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--good") == 0) good = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--odbc") == 0) odbcDriver = QString::fromLocal8Bit(argv[i + 1]);
        else die(QStringLiteral("uso: correction_bench [--vouchers N] [--good M] [--odbc DRIVER]"));
    }
    if (good < 0) good = 4 * bad;

    QTemporaryDir dir;
    const QString original = dir.filePath(QStringLiteral("original.sqlite"));
    demo::DemoOptions options;
    options.vouchers = 0;
    QString error = demo::createDemoDatabase(original, options);
    if (error.isEmpty()) error = demo::addBulkVouchers(original, bad, good, 5, 7);
    if (!error.isEmpty()) die(error);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prepare"));
        db.setDatabaseName(original);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prepare"));
    const QString runCopy = dir.filePath(QStringLiteral("run.sqlite"));
    const QString setCopy = dir.filePath(QStringLiteral("set.sqlite"));
    if (!QFile::copy(original, runCopy) || !QFile::copy(original, setCopy)) die(QStringLiteral("copy failed"));

    // The batch run, as `stockfix --batch` does it.
    QuietPrompter prompter;
    platform::setPrompter(&prompter);
    auto& session = utility::dataAccess();
    if (odbcDriver.isEmpty()) {
        session.setServer(QStringLiteral("sqlite"));
    } else {
        qputenv("STOCKFIX_ODBC_DRIVER", odbcDriver.toLocal8Bit());
        session.setServer(QStringLiteral("localhost"));
    }
    session.setDatabaseName(runCopy);
    session.OpenSession(0, 3);
    if (!session.IsOpen()) die(session.lastOpenError());
    session.connection().setCommandTimeout(360);
    const QString journal = dir.filePath(QStringLiteral("journal.sql"));
    correction::ajustesDiario().archivo = journal;
    platform::Recordset rs;
    NullStatus status;
    QElapsedTimer timer;
    timer.start();
    correction::CorregirComprobantes(rs, status);
    const double runMs = timer.nsecsElapsed() / 1e6;
    const qsizetype vouchers = rs.recordCount();
    long long runRemaining = 0;
    {
        platform::Recordset count;
        session.OpenRecordset(QStringLiteral("SELECT count(*) FROM V_MV_Stock"), count);
        runRemaining = count.fields(0).value().toLongLong();
    }
    utility::dataAccessSlot().release();

    // One set-based DELETE on an identical copy, with the same session settings.
    double setMs = 0;
    long long setRemaining = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("set"));
        db.setDatabaseName(setCopy);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        QSqlQuery del(db);
        timer.restart();
        if (!del.exec(QStringLiteral(
                "DELETE FROM V_MV_Stock WHERE (TC, IDCOMPROBANTE) IN ("
                "SELECT V_MV_Stock.TC, V_MV_Stock.IDCOMPROBANTE FROM V_MV_Stock LEFT OUTER JOIN C_MV_Cpte "
                "ON V_MV_Stock.TC = C_MV_Cpte.TC AND V_MV_Stock.IDCOMPROBANTE = C_MV_Cpte.IDCOMPROBANTE "
                "GROUP BY V_MV_Stock.TC, V_MV_Stock.IDCOMPROBANTE, C_MV_Cpte.Cuenta "
                "HAVING V_MV_Stock.TC = 'fcc' AND C_MV_Cpte.CUENTA IS NULL)")))
            die(del.lastError().text());
        setMs = timer.nsecsElapsed() / 1e6;
        setRemaining = stockRows(db);
        del = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("set"));
    if (runRemaining != setRemaining)
        die(QStringLiteral("the run left %1 rows, the set-based DELETE %2").arg(runRemaining).arg(setRemaining));

    printWord("path", odbcDriver.isEmpty() ? QByteArray("sqlite") : "odbc:" + odbcDriver.toUtf8());
    printFigure("vouchers", double(vouchers), 0, "count");
    printFigure("batch_run_ms", runMs, 1, "ms");
    printFigure("set_delete_ms", setMs, 1, "ms");
    printFigure("vouchers_per_s", vouchers / (runMs / 1000.0), 0, "vouchers/s");
    printFigure("ratio_to_set_delete", runMs / setMs, 2, "x");
    printFigure("journal_bytes", double(QFileInfo(journal).size()), 0, "bytes");
    return 0;
}
