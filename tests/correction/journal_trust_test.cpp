// A journal handed over doctored, cut by a dying run and then appended to, shared by two
// runs, or named where another user could change it: as a DBA meets them with stockfix.
#include "correction/diario_borrado.h"
#include "correction/reposicion_diario.h"
#include "correction_fixture.h"
#include "program_run.h"
#include "support/scripted_prompter.h"
#include "utility/library.h"
#include "utility/transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::bytesOf;
using testsupport::Outcome;
using testsupport::restoredRows;
using testsupport::writeFile;
using testsupport::queryColumn;

namespace {

class JournalTrust : public testsupport::DemoDatabaseTest {
protected:
    QString keys(const QString& file) const { return QStringLiteral("@Server=sqlite; @DbName=%1;").arg(file); }
    QString journal() const { return dir.filePath(QStringLiteral("diario.sql")); }
    Outcome batch(const QString& file, const QString& journalFile) {
        return testsupport::runStockfix({QStringLiteral("--batch"), QStringLiteral("--journal"), journalFile, keys(file)});
    }
    Outcome restore(const QString& file, const QString& journalFile) {
        return testsupport::runStockfix({QStringLiteral("--restore"), journalFile, keys(file)});
    }
    QStringList rows(const QString& file) const {
        QStringList out = queryColumn(
            file, QStringLiteral("SELECT quote(IDMOVIMIENTO)||'|'||quote(TC)||'|'||quote(IDCOMPROBANTE)||'|'||quote(CANTIDAD) "
                                 "FROM V_MV_Stock"));
        out.sort();
        return out;
    }
    QString copyOf(const QString& name) {
        const QString to = dir.filePath(name);
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(db, to));
        return to;
    }
};

}  // namespace

// Whatever a doctored journal holds, a restore runs only the writer's own statements for
// the values it parsed: anything else refuses the file whole, and the database keeps every byte.
TEST_F(JournalTrust, DoctoredJournalsAreRefusedAndTheDatabaseKeepsEveryByte) {
    ASSERT_EQ(batch(db, journal()).status, 0);
    const QString whole = QString::fromUtf8(bytesOf(journal()));
    const qsizetype at = whole.indexOf(QStringLiteral("\nINSERT INTO")) + 1;
    const qsizetype end = whole.indexOf(u'\n', at);
    const QString first = whole.mid(at, end - at);
    auto withFirst = [&](const QString& line) { return QString(whole).replace(at, end - at, line); };
    const QString guard = first.mid(first.indexOf(QStringLiteral(" WHERE NOT EXISTS")));
    const struct {
        const char* name;
        QString text;
    } cases[] = {
        {"an upsert", withFirst(QStringLiteral("INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT IDMOVIMIENTO, TC FROM "
                                               "V_MV_Stock WHERE true ON CONFLICT([IDMOVIMIENTO]) DO UPDATE SET [CANTIDAD] = 0;"))},
        {"a guard left out", withFirst(QString(first).remove(guard).append(u';'))},
        {"a second statement on the line", withFirst(first + QStringLiteral(" DELETE FROM TA_CONFIGURACION;"))},
        {"a comment on the line", withFirst(first + QStringLiteral(" -- visto"))},
        {"a statement inside a literal",
         withFirst(QString(first).replace(QStringLiteral("N'fcc'"), QStringLiteral("N'fcc'); DELETE FROM C_MV_Cpte; --'")))},
        {"another table", withFirst(QString(first).replace(QStringLiteral("INSERT INTO V_MV_Stock"), QStringLiteral("INSERT INTO C_MV_Cpte")))},
        {"a column the table lacks", QString(whole).replace(QStringLiteral("[CANTIDAD]"), QStringLiteral("[NOPE]"))},
        {"another engine's journal", QString(whole).replace(QStringLiteral("-- Motor: SQLite"), QStringLiteral("-- Motor: SQL Server"))},
        {"a line of its own", QString(whole).insert(at, QStringLiteral("DELETE FROM V_MV_Stock;\n"))},
        {"a comment of its own", QString(whole).insert(at, QStringLiteral("-- UPDATE V_MV_Stock SET CANTIDAD = 0\n"))},
    };
    const QString doctored = dir.filePath(QStringLiteral("doctored.sql"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(doctored, c.text.toUtf8());
        const QByteArray before = bytesOf(db);
        const Outcome o = restore(db, doctored);
        EXPECT_EQ(o.status, 2) << o.err.toStdString();
        EXPECT_EQ(o.out, QString());
        EXPECT_TRUE(o.err.contains(QStringLiteral("no se puede reponer"))) << o.err.toStdString();
        EXPECT_TRUE(o.err.contains(QStringLiteral("línea"))) << o.err.toStdString();
        EXPECT_TRUE(bytesOf(db) == before);
    }
    // The journal as written still restores.
    EXPECT_EQ(restore(db, journal()).status, 0);
}

// A run that died mid-line leaves a torn line; the next run closes it before it appends, and
// the restore puts back every whole statement of both, naming the cut line.
TEST_F(JournalTrust, ACutJournalAppendedToByALaterRunRestoresEveryWholeStatement) {
    ASSERT_EQ(demo::addBulkVouchers(db, 40, 0, 3, 5), QString());
    const struct {
        const char* name;
        QString cutAfter;  // the journal is cut this many characters into the first line holding it
        int into;
        const char* message;
    } cases[] = {
        {"mid-literal", QStringLiteral("\nINSERT INTO"), 60, "quedó cortada"},
        {"mid-comment", QStringLiteral("\n-- Comprobante"), 20, "quedó cortada"},
        {"at a line's end inside a voucher", QStringLiteral("\nINSERT INTO"), -1, "termina sin la línea final"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = copyOf(QStringLiteral("cut.sqlite"));
        const QString j = dir.filePath(QStringLiteral("cut.sql"));
        QFile::remove(j);
        ASSERT_EQ(batch(file, j).status, 0);
        const QByteArray whole = bytesOf(j);
        // Somewhere in the third batch: the first two are whole.
        qsizetype start = whole.indexOf("-- Lote confirmado");
        start = whole.indexOf("-- Lote confirmado", start + 1);
        start = whole.indexOf(c.cutAfter.toUtf8(), start) + 1;
        const qsizetype cut = c.into < 0 ? whole.indexOf('\n', start) + 1 : start + c.into;
        writeFile(j, whole.left(cut));
        const qsizetype wholeInserts = whole.left(start).count("\nINSERT INTO") + (c.into < 0 ? 1 : 0);

        // Later, new bad vouchers, and a run that appends to the same journal.
        ASSERT_EQ(demo::addBulkVouchers(file, 7, 0, 2, 99), QString());
        const QStringList beforeSecond = rows(file);
        ASSERT_EQ(batch(file, j).status, 0);
        const qsizetype second = beforeSecond.size() - rows(file).size();
        ASSERT_GT(second, 0);
        if (c.into >= 0) {
            EXPECT_TRUE(QString::fromUtf8(bytesOf(j)).contains(QStringLiteral("\n") + correction::diario::lineaCortada() + u'\n'));
        }

        const Outcome o = restore(file, j);
        EXPECT_EQ(o.status, 0) << o.err.toStdString();
        EXPECT_TRUE(o.err.contains(QString::fromUtf8(c.message))) << o.err.toStdString();
        EXPECT_EQ(restoredRows(o.out), wholeInserts + second) << o.out.toStdString();
        const QStringList after = rows(file);
        for (const QString& row : beforeSecond) EXPECT_TRUE(after.contains(row)) << row.toStdString();
    }
}

// A run holds its journal from the first line to the last: a second run given the same file
// is refused before it deletes anything, and the first one's journal restores whole.
TEST_F(JournalTrust, TwoRunsOnOneJournalOneIsRefusedBeforeItDeletes) {
    const QString other = copyOf(QStringLiteral("other.sqlite"));
    ASSERT_EQ(demo::addBulkVouchers(db, 20000, 0, 2, 7), QString());  // a run long enough to be caught mid-way
    const QStringList before = rows(db), otherBefore = rows(other);
    QProcess first;
    first.setProcessEnvironment([] {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return e;
    }());
    first.start(QStringLiteral(STOCKFIX_BINARY), {QStringLiteral("--batch"), QStringLiteral("--journal"), journal(), keys(db)});
    QByteArray err;
    while (!err.contains("diario de borrado:") && first.waitForReadyRead(20000)) err += first.readAllStandardError();
    ASSERT_TRUE(err.contains("diario de borrado:"));
    ::kill(pid_t(first.processId()), SIGSTOP);  // the first run holds the journal, mid-way

    const Outcome second = batch(other, journal());
    EXPECT_EQ(second.status, 2) << second.err.toStdString();
    EXPECT_TRUE(second.err.contains(QStringLiteral("en uso por otra corrida"))) << second.err.toStdString();
    EXPECT_TRUE(rows(other) == otherBefore);  // nothing deleted
    const Outcome meanwhile = restore(db, journal());
    EXPECT_EQ(meanwhile.status, 2);  // nor restored while it is being written
    EXPECT_TRUE(meanwhile.err.contains(QStringLiteral("lo está escribiendo"))) << meanwhile.err.toStdString();

    ::kill(pid_t(first.processId()), SIGCONT);
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
    const Outcome back = restore(db, journal());
    EXPECT_EQ(back.status, 0) << back.err.toStdString();
    EXPECT_EQ(back.err, QString());
    EXPECT_TRUE(rows(db) == before);
}

namespace {

class Unconfirmed : public testsupport::ProgramTest {};

}  // namespace

// A run killed after a batch reached the disk and before it committed: the restore counts
// that batch's rows apart, and finds them still there.
TEST_F(Unconfirmed, ABatchSyncedButNeverCommittedIsReportedApart) {
    QStringList sql = testsupport::correctionSchema();
    for (int v = 1; v <= 3; ++v)
        sql << QStringLiteral("INSERT INTO V_MV_Stock VALUES (%1, 'fcc', 'V%2', 1), (%3, 'fcc', 'V%2', 2)").arg(2 * v).arg(v).arg(2 * v + 1);
    sql << testsupport::configurationTable();
    const QString file = makeDatabase(QStringLiteral("u.sqlite"), sql);
    const QString j = path(QStringLiteral("u.sql"));
    openSession(file);
    utility::DataAccess& da = utility::dataAccess();
    {
        correction::DiarioBorrado journal(da, QStringLiteral("SELECT"), {j, {}});
        {
            utility::Transaction t(da);
            journal.agregarComprobante(QStringLiteral("fcc"), QStringLiteral("V1"));
            journal.sincronizar();
            da.ExecuteSql(QStringLiteral("DELETE V_MV_STOCK WHERE TC ='fcc' AND IDCOMPROBANTE = 'V1'"));
            t.commit();
            journal.loteConfirmado();
        }
        utility::Transaction t(da);
        journal.agregarComprobante(QStringLiteral("fcc"), QStringLiteral("V2"));
        journal.agregarComprobante(QStringLiteral("fcc"), QStringLiteral("V3"));
        journal.sincronizar();
        da.ExecuteSql(QStringLiteral("DELETE V_MV_STOCK WHERE TC ='fcc' AND IDCOMPROBANTE = 'V2'"));
        // ... and the run dies here: no commit, no last line.
    }
    utility::dataAccessSlot().release();
    const Outcome o = testsupport::runStockfix({QStringLiteral("--restore"), j, QStringLiteral("@Server=sqlite; @DbName=%1;").arg(file)});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_EQ(o.out, QStringLiteral("2 filas repuestas, 0 ya estaban\n"
                                    "0 filas repuestas, 4 ya estaban de lotes que el diario no da por confirmados\n"));
    EXPECT_TRUE(o.err.contains(QStringLiteral("termina sin la línea final"))) << o.err.toStdString();
    EXPECT_EQ(queryColumn(file, QStringLiteral("SELECT count(*) FROM V_MV_Stock")), QStringList{QStringLiteral("6")});
}

// A journal must be a file of the user's own that nobody else can change, never reached
// through a symbolic link, never one of the database's own files; the header never holds a
// password that another key swallowed.
TEST_F(JournalTrust, JournalFilesOthersCouldChangeAreRefusedBeforeAnyDeletion) {
    const QStringList before = rows(db);
    const QString dangling = dir.filePath(QStringLiteral("enlace.sql"));
    ASSERT_EQ(::symlink(qPrintable(dir.filePath(QStringLiteral("destino.sql"))), qPrintable(dangling)), 0);
    const QString shared = dir.filePath(QStringLiteral("compartido.sql"));
    writeFile(shared, QByteArray());
    ASSERT_EQ(::chmod(qPrintable(shared), 0666), 0);
    const QString wal = db + QStringLiteral("-wal");
    QFile::remove(wal);
    writeFile(wal, QByteArray());
    struct Case {
        const char* name;
        QString file;
        const char* message;
    };
    std::vector<Case> cases = {
        {"a dangling symbolic link", dangling, "enlace simbólico"},
        {"a file others can write", shared, "otros usuarios"},
        {"the database's -wal", wal, "uno de sus archivos"},
        {"the database's -journal", db + QStringLiteral("-journal"), "uno de sus archivos"},
    };
    const QString foreign = dir.filePath(QStringLiteral("ajeno.sql"));
    if (::geteuid() == 0) {  // only root can give a file away
        writeFile(foreign, QByteArray());
        ASSERT_EQ(::chown(qPrintable(foreign), 65534, 65534), 0);
        cases.push_back({"another user's file", foreign, "de otro usuario"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = batch(db, c.file);
        EXPECT_EQ(o.status, 1);
        EXPECT_TRUE(o.err.contains(QString::fromUtf8(c.message))) << o.err.toStdString();
        EXPECT_TRUE(rows(db) == before);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("destino.sql"))));
    QFile::remove(wal);

    // A password swallowed by the logged-in user's key for a forgotten ";" stays out of the file.
    const Outcome o = testsupport::runStockfix(
        {QStringLiteral("--batch"), QStringLiteral("--journal"), journal(),
         QStringLiteral("@Server=sqlite; @DbName=%1; @UsuarioLogeado=juan @Password=secreto;").arg(db)});
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    const QString text = QString::fromUtf8(bytesOf(journal()));
    EXPECT_TRUE(text.contains(QStringLiteral("-- Usuario: juan @Password=****\n"))) << text.left(600).toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("secreto")));

    // A journal folder of its own is readable by its owner only.
    const Outcome plain = testsupport::runStockfix({QStringLiteral("--batch"), keys(copyOf(QStringLiteral("p.sqlite")))});
    ASSERT_EQ(plain.status, 0) << plain.err.toStdString();
    const QString made = plain.err.section(QStringLiteral("diario de borrado: "), 1).trimmed();
    const QFileInfo folder(QFileInfo(made).absolutePath());
    EXPECT_EQ(folder.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeGroup | QFile::ExeOther), 0);
    QFile::remove(made);
}

// Through the SQLite ODBC driver, a character beyond 16 bits inside a literal would reach the
// engine cut into two bytes (a smiley becomes "='"): such literals travel as their UTF-8 bytes,
// so neither the run's deletions nor a restore can be steered by data.
TEST_F(JournalTrust, CharactersTheOdbcDriverCannotCarryNeverChangeAStatement) {
    const QString odbcKeys = QStringLiteral("@Server=localhost; @DbName=%1;").arg(db);
    const QMap<QString, QString> odbc{{QStringLiteral("STOCKFIX_ODBC_DRIVER"), QStringLiteral("SQLite3")}};
    testsupport::runSql(db, {QStringLiteral("INSERT INTO V_MV_Stock (IDMOVIMIENTO, TC, IDCOMPROBANTE, CANTIDAD) VALUES "
                                            "(90001, 'fcc', 'x😧 OR 1=1 --', 1), (90002, 'fcc', '😀', 2)")});
    const QStringList before = rows(db);
    const QString native = copyOf(QStringLiteral("nativa.sqlite"));  // what the run leaves, read natively
    ASSERT_EQ(batch(native, dir.filePath(QStringLiteral("nativa.sql"))).status, 0);
    const Outcome run = testsupport::runStockfix({QStringLiteral("--batch"), QStringLiteral("--journal"), journal(), odbcKeys}, odbc);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(rows(db) == rows(native));  // the bad vouchers went, every other row stayed
    const Outcome back = testsupport::runStockfix({QStringLiteral("--restore"), journal(), odbcKeys}, odbc);
    EXPECT_EQ(back.status, 0) << back.err.toStdString();
    EXPECT_TRUE(rows(db) == before);

    // A journal whose text would have closed its literal through the driver stays a text.
    const QString doctored = dir.filePath(QStringLiteral("sonrisa.sql"));
    const QString attack = QStringLiteral("N'fcc😧, IDMOVIMIENTO FROM V_MV_Stock WHERE true ON CONFLICT([IDMOVIMIENTO]) DO "
                                          "UPDATE SET [CANTIDAD] = 0 --'");
    writeFile(doctored, QStringLiteral("-- stockfix: diario de borrado de V_MV_Stock\n-- Motor: SQLite\n-- Columnas: [TC], "
                                       "[IDMOVIMIENTO]\nGO\n-- Comprobante TC = N'x', IDCOMPROBANTE = N'y': 1 filas\n"
                                       "INSERT INTO V_MV_Stock ([TC], [IDMOVIMIENTO]) SELECT %1, 1 WHERE NOT EXISTS (SELECT 1 "
                                       "FROM V_MV_Stock WHERE [TC] = %1 COLLATE BINARY AND [IDMOVIMIENTO] = 1);\nGO\n"
                                       "-- Lote confirmado: 1 comprobantes, 1 filas.\n-- Fin de la corrida: 1 comprobantes, "
                                       "1 filas.\nGO\n")
                            .arg(attack)
                            .toUtf8());
    const QStringList quantities =
        queryColumn(db, QStringLiteral("SELECT quote(CANTIDAD) FROM V_MV_Stock WHERE IDMOVIMIENTO <> 1 ORDER BY IDMOVIMIENTO"));
    const Outcome o = testsupport::runStockfix({QStringLiteral("--restore"), doctored, odbcKeys}, odbc);
    EXPECT_NE(o.out, QStringLiteral("%1 filas repuestas, 0 ya estaban\n").arg(before.size()));
    EXPECT_TRUE(queryColumn(db, QStringLiteral("SELECT quote(CANTIDAD) FROM V_MV_Stock WHERE IDMOVIMIENTO <> 1 ORDER BY "
                                               "IDMOVIMIENTO")) == quantities);  // no quantity became 0
}

// Values and names the journal must take whole: text that is no valid UTF-8 comes back to the
// byte; a column whose name holds ", " restores; one with a line break stops the run first.
TEST_F(JournalTrust, OddTextsAndNamesComeBackOrStopTheRunBeforeAnyDeletion) {
    testsupport::runSql(db, {QStringLiteral("INSERT INTO V_MV_Stock (IDMOVIMIENTO, TC, IDCOMPROBANTE, IDARTICULO) VALUES "
                                            "(90001, 'fcc', 'raro', CAST(X'FF41C3' AS TEXT))"),
                             QStringLiteral("ALTER TABLE V_MV_Stock ADD COLUMN \"a, b\" TEXT")});
    const QString all = QStringLiteral("SELECT hex(IDARTICULO) || quote(\"a, b\") || quote(IDMOVIMIENTO) FROM V_MV_Stock");
    QStringList before = queryColumn(db, all);
    before.sort();
    ASSERT_EQ(batch(db, journal()).status, 0);
    const Outcome back = restore(db, journal());
    EXPECT_EQ(back.status, 0) << back.err.toStdString();
    QStringList after = queryColumn(db, all);
    after.sort();
    EXPECT_TRUE(after == before);
    EXPECT_EQ(restore(db, journal()).status, 0);  // twice changes nothing

    const QString broken = copyOf(QStringLiteral("linea.sqlite"));
    testsupport::runSql(broken, {QStringLiteral("ALTER TABLE V_MV_Stock ADD COLUMN \"a\nb\" TEXT")});
    const QStringList stock = rows(broken);
    const Outcome o = batch(broken, dir.filePath(QStringLiteral("linea.sql")));
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.contains(QStringLiteral("carácter de control"))) << o.err.toStdString();
    EXPECT_TRUE(rows(broken) == stock);
}

// A run stopped by a refused deletion still says which of its batches committed.
TEST_F(JournalTrust, ARunStoppedMidBatchKeepsItsCommittedBatchesConfirmed) {
    ASSERT_EQ(demo::addBulkVouchers(db, 300, 0, 2, 11), QString());
    const QStringList before = rows(db);
    const QStringList order = queryColumn(
        db, QStringLiteral("SELECT s.IDCOMPROBANTE FROM V_MV_Stock s LEFT JOIN C_MV_Cpte c ON s.TC = c.TC AND "
                           "s.IDCOMPROBANTE = c.IDCOMPROBANTE GROUP BY s.TC, s.IDCOMPROBANTE, c.CUENTA "
                           "HAVING s.TC = 'fcc' AND c.CUENTA IS NULL"));
    ASSERT_GT(order.size(), 100);
    testsupport::runSql(db, {QStringLiteral("CREATE TRIGGER alto BEFORE DELETE ON V_MV_Stock WHEN old.IDCOMPROBANTE = '%1' "
                                            "BEGIN SELECT RAISE(ABORT, 'alto'); END")
                                 .arg(QString(order[100]).replace(u'\'', QStringLiteral("''")))});
    EXPECT_EQ(batch(db, journal()).status, 1);
    testsupport::runSql(db, {QStringLiteral("DROP TRIGGER alto")});
    const qsizetype deleted = before.size() - rows(db).size();
    ASSERT_GT(deleted, 0);
    const Outcome back = restore(db, journal());
    EXPECT_EQ(back.status, 0) << back.err.toStdString();
    // One line: every batch that deleted said so (the failing one's later vouchers are still there).
    EXPECT_EQ(back.out.count(u'\n'), 1) << back.out.toStdString();
    EXPECT_EQ(restoredRows(back.out), deleted);
    EXPECT_TRUE(rows(db) == before);
}

// Files a journal must not be, and folders a journal must not go to.
TEST_F(JournalTrust, JournalsStayPrivateAndOfTheirOwnName) {
    const QStringList before = rows(db);
    const QString readable = dir.filePath(QStringLiteral("legible.sql"));
    writeFile(readable, QByteArray());
    ASSERT_EQ(::chmod(qPrintable(readable), 0644), 0);
    ASSERT_EQ(batch(copyOf(QStringLiteral("l.sqlite")), readable).status, 0);
    EXPECT_EQ(QFileInfo(readable).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);

    const QString wal = db + QStringLiteral("-wal");
    QFile::remove(wal);
    writeFile(wal, QByteArray());
    const QString linked = dir.filePath(QStringLiteral("enlazado.sql"));
    ASSERT_EQ(::link(qPrintable(wal), qPrintable(linked)), 0);
    const Outcome o = batch(db, linked);
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.contains(QStringLiteral("enlaces"))) << o.err.toStdString();
    EXPECT_TRUE(rows(db) == before);
    QFile::remove(linked);
    QFile::remove(wal);

    // A restore refuses what is no journal file, or no journal at all, before it opens anything.
    writeFile(dir.filePath(QStringLiteral("cr.sql")), QByteArray("-- stockfix: diario de borrado de V_MV_Stock\r-- Motor: SQLite\rGO\r"));
    for (const QString& file : {QStringLiteral("/dev/zero"), dir.path(), dir.filePath(QStringLiteral("cr.sql"))}) {
        SCOPED_TRACE(file.toStdString());
        const Outcome refused = restore(db, file);
        EXPECT_EQ(refused.status, 2) << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains(QStringLiteral("no se puede reponer"))) << refused.err.toStdString();
    }
}
