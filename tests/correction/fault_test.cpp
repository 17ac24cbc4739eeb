// Faults injected for real, seen as the user of `stockfix --batch` sees them: the exit
// status and the message, that nothing beyond what the run had done changed, and that no
// output ever carries the password.
#include "program_run.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <gtest/gtest.h>

using testsupport::queryColumn;
using testsupport::runSql;

namespace {

const char kPassword[] = "s3cr3t-Pw;x";

using testsupport::Outcome;

Outcome stockfix(const QStringList& args, const QMap<QString, QString>& env = {}, std::function<void()> inChild = {}) {
    return testsupport::runStockfix(args, env, std::move(inChild));
}

class Faults : public testsupport::DemoDatabaseTest {
protected:
    QStringList batch(const QString& file) const {
        return {QStringLiteral("--batch"),
                QStringLiteral("@Server=sqlite; @DbName=%1; @Usuario=sa; @Password=%2;").arg(file, QString::fromLatin1(kPassword))};
    }
    QStringList stock() const { return queryColumn(db, QStringLiteral("SELECT IDMOVIMIENTO FROM V_MV_Stock ORDER BY 1")); }
    static void noPassword(const Outcome& o) {
        EXPECT_FALSE((o.out + o.err).contains(QString::fromLatin1(kPassword).left(8))) << (o.out + o.err).toStdString();
    }
};

}  // namespace

TEST_F(Faults, AStockTableLockedLongerThanTheTimeOutStopsTheRunAtItsFirstDeletion) {
    const QStringList before = stock();
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
    other.setDatabaseName(db);
    ASSERT_TRUE(other.open());
    {
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
        const Outcome o = stockfix(batch(db), {{QStringLiteral("STOCKFIX_COMMAND_TIMEOUT"), QStringLiteral("1")}});
        EXPECT_EQ(o.status, 1);
        EXPECT_TRUE(o.err.contains(QStringLiteral("locked"))) << o.err.toStdString();
        EXPECT_TRUE(o.out.startsWith(QStringLiteral("Buscando Datos\nCorrigiendo... ")));
        EXPECT_EQ(o.out.count(QStringLiteral("Corrigiendo")), 1);  // no later voucher is touched
        EXPECT_GE(o.ms, 900);                                       // it waited for the lock
        noPassword(o);
        lock.exec(QStringLiteral("ROLLBACK"));
    }
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    EXPECT_EQ(stock(), before);
}

TEST_F(Faults, ADeletionFailingMidRunKeepsEarlierDeletionsAndTouchesNoLaterVoucher) {
    // The fourth voucher the run visits refuses to go.
    const QStringList order = queryColumn(
        db, QStringLiteral("SELECT s.IDCOMPROBANTE FROM V_MV_Stock s LEFT JOIN C_MV_Cpte c ON s.TC = c.TC AND "
                           "s.IDCOMPROBANTE = c.IDCOMPROBANTE GROUP BY s.TC, s.IDCOMPROBANTE, c.CUENTA "
                           "HAVING s.TC = 'fcc' AND c.CUENTA IS NULL"));
    ASSERT_GE(order.size(), 6);
    const QString blocked = order[3];
    runSql(db, {QStringLiteral("CREATE TRIGGER guard BEFORE DELETE ON V_MV_Stock WHEN old.IDCOMPROBANTE = '%1' "
                               "BEGIN SELECT RAISE(ABORT, 'comprobante bloqueado'); END")
                    .arg(QString(blocked).replace(u'\'', QStringLiteral("''")))});
    const QString copy = dir.filePath(QStringLiteral("copy.sqlite"));
    ASSERT_TRUE(QFile::copy(db, copy));
    const auto rowsOf = [&](const QString& file, const QString& id) {
        return queryColumn(file, QStringLiteral("SELECT count(*) FROM V_MV_Stock WHERE IDCOMPROBANTE = '%1'")
                                     .arg(QString(id).replace(u'\'', QStringLiteral("''"))))
            .front();
    };

    const Outcome o = stockfix(batch(db));
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.contains(QStringLiteral("comprobante bloqueado")));
    noPassword(o);
    for (int i = 0; i < order.size(); ++i) {
        SCOPED_TRACE(order[i].toStdString());
        if (i < 3) {
            EXPECT_EQ(rowsOf(db, order[i]), QStringLiteral("0"));  // done before the failure: stays done
        } else {
            EXPECT_EQ(rowsOf(db, order[i]), rowsOf(copy, order[i]));  // the failing one and all after it
        }
    }
}

TEST_F(Faults, AFullDiskStopsTheRunWhereItStands) {
    // The run may not grow any file past 48 KiB: the write-ahead log fills up after a few
    // deletions, as a full disk would stop it.
    const QStringList before = stock();
    const Outcome o = stockfix(batch(db), {}, [] {
        ::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
        const rlimit limit{48 * 1024, 48 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.contains(QStringLiteral("full")) || o.err.contains(QStringLiteral("disk"))) << o.err.toStdString();
    noPassword(o);
    const int deleted = before.size() - stock().size();
    EXPECT_GT(o.out.count(QStringLiteral("Corrigiendo")), 1);  // some vouchers went before the disk filled
    EXPECT_GT(deleted, 0);  // and what they deleted stays deleted
}

TEST_F(Faults, AReadOnlyDatabaseIsReportedAndLeftAsItWas) {
    // As root, file modes do not stop writes: the file is made immutable instead.
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), db}) != 0) {
        GTEST_SKIP() << "this file system cannot make a file immutable";
    }
    const QStringList before = stock();
    const Outcome o = stockfix(batch(db));
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), db});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.contains(QStringLiteral("readonly")) || o.err.contains(QStringLiteral("read-only")) ||
                o.err.contains(QStringLiteral("read only")))
        << o.err.toStdString();
    noPassword(o);
    EXPECT_EQ(stock(), before);
}

TEST_F(Faults, FilesThatAreNoDatabaseEndTheProgramWithAMessage) {
    const QString junk = dir.filePath(QStringLiteral("junk.sqlite"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'z'));
    f.close();
    for (const QString& file : {junk, dir.filePath(QStringLiteral("missing.sqlite")), dir.path()}) {
        SCOPED_TRACE(file.toStdString());
        const Outcome o = stockfix(batch(file));
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(o.err.contains(QStringLiteral("No se pudo abrir la sesión"))) << o.err.toStdString();
        EXPECT_EQ(o.out, QString());
        noPassword(o);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing.sqlite"))));
}

TEST_F(Faults, AMissingOrMisshapenConfigurationTableIsReportedAndTheRunGoesOn) {
    for (const char* damage : {"DROP TABLE TA_CONFIGURACION", "ALTER TABLE TA_CONFIGURACION RENAME COLUMN VALOR TO OTRO"}) {
        SCOPED_TRACE(damage);
        SetUp();
        runSql(db, {QString::fromLatin1(damage)});
        const Outcome o = stockfix(batch(db));
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.err.count(QStringLiteral("Procedimiento: Cfg")), 10);  // each key, given up at once
        EXPECT_TRUE(o.out.endsWith(QStringLiteral("Proceso Finalizado!\n")));
        noPassword(o);
    }
}

TEST_F(Faults, AnOdbcServerThatDoesNotAnswerEndsTheProgramQuickly) {
    // FreeTDS pointed at a local port where nothing listens.
    const Outcome o = stockfix({QStringLiteral("--batch"),
                                QStringLiteral("@Server=127.0.0.1,9; @DbName=GESTION; @Usuario=sa; @Password=%1;")
                                    .arg(QString::fromLatin1(kPassword))},
                               {{QStringLiteral("STOCKFIX_ODBC_DRIVER"), QStringLiteral("FreeTDS")}});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(o.err.contains(QStringLiteral("No se pudo abrir la sesión"))) << o.err.toStdString();
    EXPECT_LT(o.ms, 30000);
    noPassword(o);
}
