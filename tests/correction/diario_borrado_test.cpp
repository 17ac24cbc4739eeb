// The deletion journal in process: random databases run with a journal, then restored,
// must come back exactly (every column, every type), through SQLite and through ODBC.
#include "correction/bug_window.h"
#include "correction/diario_borrado.h"
#include "correction/reposicion_diario.h"
#include "correction_fixture.h"
#include "support/odbc_file_name.h"
#include "support/scripted_prompter.h"
#include "utility/library.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <random>

using namespace testsupport;

namespace {

QString literal(const QVariant& v) {
    if (!v.isValid()) return QStringLiteral("NULL");
    if (v.metaType().id() == QMetaType::QByteArray) return QStringLiteral("X'") + QString::fromLatin1(v.toByteArray().toHex()) + u'\'';
    if (v.metaType().id() == QMetaType::Double) return QString::number(v.toDouble(), 'g', 17);
    if (v.metaType().id() == QMetaType::LongLong) return QString::number(v.toLongLong());
    QString s = v.toString();
    if (s.contains(QChar(0))) return QStringLiteral("CAST(X'%1' AS TEXT)").arg(QString::fromLatin1(s.toUtf8().toHex()));
    return u'\'' + s.replace(u'\'', QStringLiteral("''")) + u'\'';
}

// Every row of the stock table, each column as SQLite quotes it (its type shows: 2, 2.0,
// '2', X'02'), sorted: equal lists mean equal tables, duplicates and types included.
QStringList snapshot(const QString& file) {
    QStringList rows = queryColumn(
        file, QStringLiteral("SELECT quote(IDMOVIMIENTO)||'|'||quote(TC)||'|'||quote(IDCOMPROBANTE)||'|'||quote(CANTIDAD)"
                             "||'|'||quote(PRECIO)||'|'||quote(NOTA)||hex(NOTA)||'|'||quote(DATO)||'|'||quote(MIXTO)||hex(MIXTO) FROM V_MV_Stock"));
    rows.sort();
    return rows;
}

struct Shape {
    const char* name;
    bool key;    // IDMOVIMIENTO a primary key; without one, whole rows repeat
    bool typed;  // every value of its column's declared type
    bool odbc;
};

QStringList randomDatabase(std::mt19937& rng, const Shape& shape) {
    auto pick = [&](const auto& list) { return list[std::uniform_int_distribution<size_t>(0, std::size(list) - 1)(rng)]; };
    const QVariant types[] = {QStringLiteral("fcc"), QStringLiteral("FCC"), QStringLiteral("Fcc"), QStringLiteral("fcv")};
    const QVariant ids[] = {QStringLiteral("0001-00000001"), QStringLiteral("0001-0000'004"), QStringLiteral(""),
                            QStringLiteral("ñandú €"), QStringLiteral("0001-00000001 "), QStringLiteral("ABC"),
                            QStringLiteral("abc"), QVariant()};
    const QVariant notes[] = {QVariant(), QStringLiteral(""), QStringLiteral("O'Brien ''dos''"),
                              QStringLiteral("línea 1\nGO\nlínea 3"), QStringLiteral("tab\tcr\r;fin"),
                              QStringLiteral("x'; DELETE FROM V_MV_Stock; --"), QStringLiteral("日本語"),
                              QStringLiteral("😀"), QStringLiteral("antes") + QChar(0) + QStringLiteral("después")};
    const QVariant blobs[] = {QVariant(), QByteArray(), QByteArray("\x00\xff\x10\x27", 4), QByteArray("ab'c")};
    const QVariant mixed[] = {QVariant(), QVariant(qlonglong(7)), QVariant(7.5), QStringLiteral("7"), QStringLiteral("siete"),
                              QByteArray("\x01", 1)};
    QStringList sql = {
        QStringLiteral("CREATE TABLE V_MV_Stock (IDMOVIMIENTO INTEGER%1, TC VARCHAR(4) COLLATE NOCASE, "
                       "IDCOMPROBANTE VARCHAR(40) COLLATE NOCASE, CANTIDAD FLOAT, PRECIO DECIMAL(12,4), NOTA TEXT, "
                       "DATO BLOB, MIXTO)")
            .arg(shape.key ? QStringLiteral(" PRIMARY KEY") : QString()),
        QStringLiteral("CREATE TABLE C_MV_Cpte (TC VARCHAR(4) COLLATE NOCASE, IDCOMPROBANTE VARCHAR(40) COLLATE NOCASE, "
                       "CUENTA VARCHAR(15))")};
    sql << testsupport::configurationTable();
    std::uniform_int_distribution<int> cents(-100000, 100000);
    const int rows = std::uniform_int_distribution<int>(1, 50)(rng);
    QString last;
    for (int i = 1; i <= rows; ++i) {
        if (!shape.key && !last.isEmpty() && std::bernoulli_distribution(0.2)(rng)) {
            sql << last;  // the same row once more
            continue;
        }
        const double cantidad = shape.typed ? cents(rng) / 100.0 : cents(rng) / 100.0 + 0.1 + 0.2;  // 0.30000000000000004
        // Keys past 32 bits: a driver that reads them as 32-bit integers loses them.
        last = QStringLiteral("INSERT INTO V_MV_Stock VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                   .arg(3000000000LL + i)
                   .arg(literal(pick(types)), literal(pick(ids)), literal(cantidad), literal(cents(rng) / 10000.0),
                        literal(pick(notes)), literal(pick(blobs)), shape.typed ? QStringLiteral("NULL") : literal(pick(mixed)));
        sql << last;
    }
    for (int i = std::uniform_int_distribution<int>(0, 6)(rng); i > 0; --i)
        sql << QStringLiteral("INSERT INTO C_MV_Cpte VALUES (%1, %2, %3)")
                   .arg(literal(pick(types)), literal(pick(ids)),
                        std::bernoulli_distribution(0.5)(rng) ? QStringLiteral("'1.1'") : QStringLiteral("NULL"));
    return sql;
}

class JournalRoundTrip : public ProgramTest, public ::testing::WithParamInterface<Shape> {
protected:
    void TearDown() override {
        correction::ajustesDiario() = {};
        qunsetenv("STOCKFIX_ODBC_DRIVER");
        ProgramTest::TearDown();
    }
    void open(const QString& file) {
        auto& da = utility::dataAccess();
        if (GetParam().odbc) {
            qputenv("STOCKFIX_ODBC_DRIVER", "SQLite3");
            da.setServer(QStringLiteral("localhost"));
            da.setDatabaseName(testsupport::odbcFileName(file));
            da.OpenSession(0, 3);
            ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
        } else {
            openSession(file);
        }
    }
    correction::CuentaReposicion restore(const QString& journal) {
        const correction::GuionDiario script = correction::LeerDiario(journal);
        EXPECT_EQ(script.aviso, QString());
        return correction::ReponerDiario(utility::dataAccess(), script);
    }
};

}  // namespace

TEST_P(JournalRoundTrip, EveryDeletedRowComesBackExactlyAndASecondRestoreChangesNothing) {
    std::mt19937 rng(8);
    for (int round = 0; round < (GetParam().odbc ? 6 : 20); ++round) {
        SCOPED_TRACE(round);
        const QString file = makeDatabase(QStringLiteral("r%1.sqlite").arg(round), randomDatabase(rng, GetParam()));
        const QStringList before = snapshot(file);
        const QString journal = path(QStringLiteral("r%1.sql").arg(round));
        correction::ajustesDiario().archivo = journal;

        open(file);
        ScriptedPrompter prompter;
        RecordedStatus status;
        platform::Recordset rs;
        correction::CorregirComprobantes(rs, status);
        const int deleted = before.size() - snapshot(file).size();
        if (deleted == 0) {
            EXPECT_FALSE(QFileInfo::exists(journal));  // nothing went: no journal
            utility::dataAccessSlot().release();
            continue;
        }
        const correction::CuentaReposicion first = restore(journal);
        EXPECT_EQ(first.repuestas, deleted);
        EXPECT_EQ(first.presentes, 0);
        EXPECT_EQ(snapshot(file), before);
        const correction::CuentaReposicion second = restore(journal);
        EXPECT_EQ(second.repuestas, 0);
        EXPECT_EQ(second.presentes, deleted);
        EXPECT_EQ(snapshot(file), before);
        utility::dataAccessSlot().release();
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, JournalRoundTrip,
                         ::testing::Values(Shape{"KeyedAnyType", true, false, false},
                                           Shape{"RepeatedRows", false, false, false},
                                           Shape{"OdbcKeyed", true, false, true},
                                           Shape{"OdbcRepeatedRows", false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

class WaysOut : public ProgramTest {
protected:
    void TearDown() override {
        correction::ajustesDiario() = {};
        ProgramTest::TearDown();
    }
};

}  // namespace

// The window's two ways out close the session: SQLite checkpoints and removes its -wal.
TEST_F(WaysOut, SalirAndTheFramesCloseLeaveNoWriteAheadLog) {
    for (const bool salir : {true, false}) {
        SCOPED_TRACE(salir ? "Salir" : "close");
        QStringList sql = correctionSchema();
        sql << QStringLiteral("INSERT INTO V_MV_Stock VALUES (1, 'fcc', 'A', 1), (2, 'fcv', 'B', 2)")
            << configurationTable();
        const QString file = makeDatabase(salir ? QStringLiteral("s.sqlite") : QStringLiteral("c.sqlite"), sql);
        correction::ajustesDiario().archivo = path(QStringLiteral("j.sql"));
        ScriptedPrompter prompter;
        correction::BUG w;
        platform::App().commandLine = QStringLiteral("@Server=sqlite; @DbName=%1;").arg(file);
        w.Form_Load();
        w.show();
        w.CmdEjecutar_Click();
        ASSERT_TRUE(QFileInfo::exists(file + QStringLiteral("-wal")));  // the deletion sits in the log
        if (salir) {
            EXPECT_EQ(endStatusOf([&] { w.CmdSalir_Click(); }), 0);
        } else {
            w.close();
        }
        EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral("-wal")));
        EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral("-shm")));
        EXPECT_EQ(queryColumn(file, QStringLiteral("SELECT count(*) FROM V_MV_Stock")), QStringList{QStringLiteral("1")});
        EXPECT_EQ(prompter.boxes.size(), 1);  // "Proceso Finalizado!" and nothing new
        utility::dataAccessSlot().release();
    }
}

namespace {

// Another session adds a row to the voucher on show and to the one after it, as the run goes.
struct IntruderStatus : RecordedStatus {
    explicit IntruderStatus(const QString& file) {
        other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("intruder"));
        other.setDatabaseName(file);
        other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        EXPECT_TRUE(other.open());
    }
    ~IntruderStatus() override {
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("intruder"));
    }
    void mostrar(const QString& text) override {
        RecordedStatus::mostrar(text);
        const QString prefix = QStringLiteral("Corrigiendo... fcc");
        if (!text.startsWith(prefix)) return;
        const int voucher = text.mid(prefix.size()).toInt();
        for (const int v : {voucher, voucher + 1}) {
            QSqlQuery q(other);
            if (q.exec(QStringLiteral("INSERT INTO V_MV_Stock VALUES (%1, 'fcc', '%2', 9)").arg(next).arg(v, 3, 10, QChar(u'0'))))
                added << QStringLiteral("%1|fcc|%2").arg(next).arg(v, 3, 10, QChar(u'0'));
            else ++refused;
            ++next;
        }
    }
    QSqlDatabase other;
    QStringList added;
    int refused = 0;
    int next = 10000;
};

}  // namespace

// Rows that another session adds to a voucher while the run goes are either in the journal
// (and come back) or not deleted: after the restore the table is the original plus them.
TEST_F(WaysOut, RowsAddedByAnotherSessionMidRunAreJournaledOrLeft) {
    QStringList sql = correctionSchema();
    for (int v = 1; v <= 60; ++v)
        sql << QStringLiteral("INSERT INTO V_MV_Stock VALUES (%1, 'fcc', '%2', 1), (%3, 'fcc', '%2', 2)")
                   .arg(2 * v)
                   .arg(v, 3, 10, QChar(u'0'))
                   .arg(2 * v + 1);
    const QString file = makeDatabase(QStringLiteral("busy.sqlite"), sql);
    const QString rows = QStringLiteral("SELECT IDMOVIMIENTO || '|' || TC || '|' || IDCOMPROBANTE FROM V_MV_Stock");
    QStringList expected = queryColumn(file, rows);
    correction::ajustesDiario().archivo = path(QStringLiteral("busy.sql"));
    openSession(file);
    ScriptedPrompter prompter;
    {
        IntruderStatus status(file);
        platform::Recordset rs;
        correction::CorregirComprobantes(rs, status);
        EXPECT_GT(status.added.size(), 0);  // between batches the other session writes
        EXPECT_GT(status.refused, 0);       // within a batch it cannot
        expected << status.added;
    }
    correction::ReponerDiario(utility::dataAccess(), correction::LeerDiario(path(QStringLiteral("busy.sql"))));
    QStringList after = queryColumn(file, rows);
    after.sort();
    expected.sort();
    EXPECT_EQ(after, expected);
}
