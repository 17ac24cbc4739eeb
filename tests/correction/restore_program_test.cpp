// The journal and --restore as a DBA uses them: run, restore, restore again; a run that
// fails or is killed, then restored; dry runs that change no byte; damaged journals; the
// files that are no database. After every way out no -wal file is left.
#include "program_run.h"
#include "support/odbc_file_name.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using testsupport::bytesOf;
using testsupport::Outcome;
using testsupport::restoredRows;
using testsupport::writeFile;
using testsupport::queryColumn;
using testsupport::runSql;

namespace {

class Restore : public testsupport::DemoDatabaseTest {
protected:
    QString keys(const QString& file) const { return QStringLiteral("@Server=sqlite; @DbName=%1; @UsuarioLogeado=dba;").arg(file); }
    QString journal() const { return dir.filePath(QStringLiteral("diario.sql")); }
    Outcome run(const QStringList& args) { return testsupport::runStockfix(args); }
    Outcome restore(const QString& file) { return run({QStringLiteral("--restore"), journal(), keys(file)}); }
    // Every stock row, every column as SQLite quotes it (its type shows), sorted.
    QStringList rows(const QString& file) const {
        const QStringList columns = queryColumn(file, QStringLiteral("SELECT 'quote(' || name || ')' FROM pragma_table_info('V_MV_Stock')"));
        QStringList out = queryColumn(file, QStringLiteral("SELECT %1 FROM V_MV_Stock").arg(columns.join(QStringLiteral("||'|'||"))));
        out.sort();
        return out;
    }
    static void noLog(const QString& file) {
        EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral("-wal"))) << file.toStdString();
        EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral("-shm"))) << file.toStdString();
    }
};

}  // namespace

TEST_F(Restore, ARunWithAJournalIsPutBackByRestoreAndASecondRestoreChangesNothing) {
    const QStringList before = rows(db);
    const Outcome o = run({QStringLiteral("--batch"), QStringLiteral("--journal"), journal(), keys(db)});
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    noLog(db);
    EXPECT_TRUE(o.err.contains(QStringLiteral("diario de borrado: ") + journal())) << o.err.toStdString();
    const qsizetype deleted = before.size() - rows(db).size();
    ASSERT_GT(deleted, 0);

    const QString text = QString::fromUtf8(bytesOf(journal()));
    for (const QString& part : {QStringLiteral("-- Fecha: 2"), QStringLiteral("-- Servidor: sqlite"),
                                QStringLiteral("-- Base de datos: ") + db, QStringLiteral("-- Usuario: dba"),
                                QStringLiteral("-- Programa: stockfix "), QStringLiteral("-- Selección: SELECT V_MV_Stock.TC"),
                                QStringLiteral("N'0001-0000''049'"),
                                QStringLiteral(" comprobantes, %1 filas.\n").arg(deleted)})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();

    const Outcome first = restore(db);
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, QStringLiteral("%1 filas repuestas, 0 ya estaban\n").arg(deleted));
    EXPECT_EQ(rows(db), before);
    noLog(db);
    const Outcome second = restore(db);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out, QStringLiteral("0 filas repuestas, %1 ya estaban\n").arg(deleted));
    EXPECT_EQ(rows(db), before);

    // Without --journal, a new file per run in the application folder's "diarios".
    const Outcome plain = run({QStringLiteral("--batch"), keys(db)});
    ASSERT_EQ(plain.status, 0);
    const QString path = plain.err.section(QStringLiteral("diario de borrado: "), 1).trimmed();
    EXPECT_TRUE(QFileInfo(path).isFile()) << plain.err.toStdString();
    EXPECT_EQ(QFileInfo(path).absolutePath(),
              QDir(QFileInfo(QStringLiteral(STOCKFIX_BINARY)).absolutePath()).filePath(QStringLiteral("diarios")));
    QFile::remove(path);
}

TEST_F(Restore, ARunStoppedByARefusedDeletionOrKilledMidWayIsPutBack) {
    // Many vouchers, so that the run can be killed half-way.
    ASSERT_EQ(demo::addBulkVouchers(db, 4000, 0, 5, 3), QString());
    const QString pristine = dir.filePath(QStringLiteral("pristine.sqlite"));
    ASSERT_TRUE(QFile::copy(db, pristine));
    const QStringList before = rows(db);

    // The 2000th voucher the run visits refuses to go.
    const QStringList order = queryColumn(
        db, QStringLiteral("SELECT s.IDCOMPROBANTE FROM V_MV_Stock s LEFT JOIN C_MV_Cpte c ON s.TC = c.TC AND "
                           "s.IDCOMPROBANTE = c.IDCOMPROBANTE GROUP BY s.TC, s.IDCOMPROBANTE, c.CUENTA "
                           "HAVING s.TC = 'fcc' AND c.CUENTA IS NULL"));
    ASSERT_GT(order.size(), 2000);
    runSql(db, {QStringLiteral("CREATE TRIGGER guard BEFORE DELETE ON V_MV_Stock WHEN old.IDCOMPROBANTE = '%1' "
                               "BEGIN SELECT RAISE(ABORT, 'bloqueado'); END")
                    .arg(QString(order[2000]).replace(u'\'', QStringLiteral("''")))});
    const Outcome refused = run({QStringLiteral("--batch"), QStringLiteral("--journal"), journal(), keys(db)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("bloqueado")));
    noLog(db);
    EXPECT_LT(rows(db).size(), before.size());
    EXPECT_EQ(restore(db).status, 0);
    EXPECT_TRUE(rows(db) == before);

    // Killed once a few hundred vouchers went.
    QFile::remove(journal());
    ASSERT_TRUE(QFile::remove(db) && QFile::copy(pristine, db));
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(STOCKFIX_BINARY), {QStringLiteral("--batch"), QStringLiteral("--journal"), journal(), keys(db)});
    QByteArray out;
    while (out.count("Corrigiendo") < 300 && p.waitForReadyRead(20000)) out += p.readAllStandardOutput();
    p.kill();  // SIGKILL
    p.waitForFinished();
    ASSERT_GE(out.count("Corrigiendo"), 300);
    EXPECT_FALSE(bytesOf(journal()).contains("-- Fin de la corrida"));  // it died half-way
    EXPECT_LT(rows(db).size(), before.size());
    const Outcome back = restore(db);
    EXPECT_EQ(back.status, 0) << back.err.toStdString();
    EXPECT_TRUE(rows(db) == before);
    noLog(db);
}

TEST_F(Restore, AJournalThatCannotBeWrittenStopsTheRunBeforeAnyDeletion) {
    const QStringList before = rows(db);
    // Another file is never taken for a journal: not the database itself, not a text.
    const QString notes = dir.filePath(QStringLiteral("notas.txt"));
    writeFile(notes, QByteArray("notas del administrador\n"));
    const QByteArray database = bytesOf(db);
    for (const QString& file : {dir.filePath(QStringLiteral("no-such-folder/diario.sql")), QStringLiteral("/dev/full"), db, notes}) {
        SCOPED_TRACE(file.toStdString());
        const QByteArray bytes = file == db || file == notes ? bytesOf(file) : QByteArray();
        const Outcome o = run({QStringLiteral("--batch"), QStringLiteral("--journal"), file, keys(db)});
        EXPECT_EQ(o.status, 1);
        EXPECT_TRUE(o.err.contains(QStringLiteral("No se pudo escribir el diario de borrado"))) << o.err.toStdString();
        EXPECT_TRUE(rows(db) == before);
        if (!bytes.isEmpty()) {
            EXPECT_TRUE(bytesOf(file) == bytes);
        }
        noLog(db);
    }
    EXPECT_TRUE(bytesOf(db) == database);
}

TEST_F(Restore, ADryRunChangesNoByteAndLeavesNoLog) {
    const QString wal = dir.filePath(QStringLiteral("wal.sqlite"));
    ASSERT_TRUE(QFile::copy(db, wal));
    runSql(wal, {QStringLiteral("PRAGMA journal_mode=WAL")});
    const QString rollback = dir.filePath(QStringLiteral("rollback.sqlite"));
    ASSERT_TRUE(QFile::copy(db, rollback));
    runSql(rollback, {QStringLiteral("PRAGMA journal_mode=DELETE")});
    const QMap<QString, QString> odbc{{QStringLiteral("STOCKFIX_ODBC_DRIVER"), QStringLiteral("SQLite3")}};
    const struct {
        QString file, keys;
        QMap<QString, QString> env;
    } cases[] = {
        {rollback, keys(rollback), {}},
        {wal, keys(wal), {}},
        {rollback, QStringLiteral("@Server=localhost; @DbName=%1;").arg(testsupport::odbcFileName(rollback)), odbc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.file + u' ' + c.keys).toStdString());
        const QByteArray before = bytesOf(c.file);
        const Outcome o = testsupport::runStockfix({QStringLiteral("--batch"), QStringLiteral("--dry-run"), c.keys}, c.env);
        EXPECT_EQ(o.status, 0) << o.err.toStdString();
        EXPECT_TRUE(o.out.contains(QStringLiteral("no se borró nada")));
        EXPECT_TRUE(bytesOf(c.file) == before);
        noLog(c.file);
    }
}

TEST_F(Restore, DamagedJournalsAreRefusedOrRestoredUpToTheLastWholeStatement) {
    ASSERT_EQ(run({QStringLiteral("--batch"), QStringLiteral("--journal"), journal(), keys(db)}).status, 0);
    const QByteArray whole = bytesOf(journal());
    const qsizetype lastInsert = whole.lastIndexOf("INSERT INTO");
    const qsizetype secondInsert = whole.indexOf("INSERT INTO", whole.indexOf("INSERT INTO") + 1);
    const qsizetype deleted = QString::fromUtf8(whole).count(QStringLiteral("\nINSERT INTO"));
    const qsizetype secondLineEnd = whole.indexOf('\n', secondInsert) + 1;
    QString counted = QString::fromUtf8(whole);
    counted.replace(QRegularExpression(QStringLiteral("comprobantes, (\\d+) filas\\.")), QStringLiteral("comprobantes, 9999 filas."));
    const struct {
        const char* name;
        QByteArray bytes;
        int status;
        const char* message;
        QString out;
    } cases[] = {
        // The last batch lost its confirmation with the cut: its rows are counted apart.
        {"cut mid-statement", whole.left(lastInsert + 40), 0, "cortado", QString()},
        {"not a journal", QByteArray("SELECT 1;\nDROP TABLE V_MV_Stock;\n"), 2, "no es un diario", ""},
        {"binary", QByteArray("\xff\xfe\x00garbage", 10), 2, "no es un diario", ""},
        {"empty", QByteArray(), 2, "no es un diario", ""},
        {"damaged inside", whole.left(secondInsert + 30) + "\n" + whole.mid(secondInsert), 2, "dañado", ""},
        {"a statement slipped in", whole + "DELETE FROM V_MV_Stock;\n", 2, "dañado", ""},
        {"a line gone inside", whole.left(secondInsert) + whole.mid(secondLineEnd), 2, "dañado", ""},
        {"the closing count changed", counted.toUtf8(), 2, "dañado", ""},
        // Restored as far as it goes, and said: the rows were put back by the first case.
        {"cut at a line's end", whole.left(secondLineEnd), 0, "termina sin la línea final",
         QStringLiteral("0 filas repuestas, 0 ya estaban\n"
                        "0 filas repuestas, 2 ya estaban de lotes que el diario no da por confirmados\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(journal(), c.bytes);
        const QStringList before = rows(db);
        const Outcome o = restore(db);
        EXPECT_EQ(o.status, c.status);
        EXPECT_TRUE(o.err.contains(QString::fromUtf8(c.message))) << o.err.toStdString();
        if (c.status == 0 && c.out.isEmpty()) {
            EXPECT_EQ(restoredRows(o.out), deleted - 1) << o.out.toStdString();
        } else if (c.status == 0) {
            EXPECT_EQ(o.out, c.out);
        } else {
            EXPECT_EQ(o.out, QString());
            EXPECT_TRUE(rows(db) == before);  // a refused journal runs nothing
        }
        noLog(db);
    }
    const Outcome missing = run({QStringLiteral("--restore"), dir.filePath(QStringLiteral("no-such.sql")), keys(db)});
    EXPECT_EQ(missing.status, 2);
    // The file forgotten: the keys are not taken for it, nor repeated with their password.
    const Outcome forgotten = run({QStringLiteral("--restore"), keys(db) + QStringLiteral(" @Password=secreto;")});
    EXPECT_EQ(forgotten.status, 2);
    EXPECT_TRUE(forgotten.err.contains(QStringLiteral("antes de las claves"))) << forgotten.err.toStdString();
    EXPECT_FALSE(forgotten.err.contains(QStringLiteral("secreto")));
}

TEST_F(Restore, OnlyDatabasesAreOpenedAndNoneIsEverCreated) {
    const QString empty = dir.filePath(QStringLiteral("empty.sqlite"));
    writeFile(empty, QByteArray());
    const QString missing = dir.filePath(QStringLiteral("missing.sqlite"));
    const QMap<QString, QString> odbc{{QStringLiteral("STOCKFIX_ODBC_DRIVER"), QStringLiteral("SQLite3")}};
    const struct {
        const char* name;
        QString keys;
        QMap<QString, QString> env;
    } cases[] = {
        {"0-byte file", keys(empty), {}},
        {"0-byte file through ODBC", QStringLiteral("@Server=localhost; @DbName=%1;").arg(testsupport::odbcFileName(empty)), odbc},
        {"missing file through ODBC", QStringLiteral("@Server=localhost; @DbName=%1;").arg(testsupport::odbcFileName(missing)), odbc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = testsupport::runStockfix({QStringLiteral("--batch"), c.keys}, c.env);
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(o.err.contains(QStringLiteral("No se pudo abrir la sesión"))) << o.err.toStdString();
        EXPECT_EQ(QFileInfo(empty).size(), 0);
        EXPECT_FALSE(QFileInfo::exists(missing));
    }
    // Through ODBC a real file works, and its run is journaled like any other.
    const Outcome o = testsupport::runStockfix(
        {QStringLiteral("--batch"), QStringLiteral("--journal"), journal(), QStringLiteral("@Server=localhost; @DbName=%1;").arg(testsupport::odbcFileName(db))}, odbc);
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(QFileInfo(journal()).size() > 0);
}
