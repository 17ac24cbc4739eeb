// The correction, its journal and the restore as they reach SQL Server's driver: stockfix
// run as a DBA runs it, through the test driver that presents itself as SQL Server (and
// holds SQL Server's rules for identity, computed and rowversion columns), against tables
// of every column type. The rows come back exact, and every text the program sent is
// checked: valid T-SQL, session settings by direct execution, no GO, and every restored
// statement the writer's own.
#include "correction/program_run.h"
#include "odbc_shim_log.h"
#include "support/odbc_shim_setup.h"
#include "support/test_env.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using odbcshim::ShimLogRecord;
using testsupport::Outcome;
using testsupport::queryColumn;
using testsupport::ShimColumn;

namespace {

// What SQL Server holds, as SQLite keeps it for the test driver: dates and exact numbers as
// the ISO and decimal texts SQL Server converts them to, text compared as SQL Server's "="
// compares it (trailing blanks ignored).
const QStringList kEveryType = {
    QStringLiteral("CREATE TABLE V_MV_Stock (IDMOVIMIENTO INTEGER PRIMARY KEY, TC TEXT COLLATE RTRIM, "
                   "IDCOMPROBANTE TEXT COLLATE RTRIM, CANTIDAD TEXT, PRECIO TEXT, FECHA TEXT, HORA TEXT, DESDE TEXT, "
                   "ALTA TEXT, NOTA TEXT COLLATE RTRIM, DATOS TEXT, LUGAR BLOB, MARCA BLOB, VERSION BLOB, "
                   "TOTAL TEXT GENERATED ALWAYS AS (TC || IDCOMPROBANTE) VIRTUAL)"),
    QStringLiteral("CREATE TABLE C_MV_Cpte (TC TEXT COLLATE RTRIM, IDCOMPROBANTE TEXT COLLATE RTRIM, CUENTA TEXT)"),
};

const QList<ShimColumn> kEveryTypeColumns = {
    {QStringLiteral("IDMOVIMIENTO"), QStringLiteral("int"), 4, 10, 0, true, false, false},
    {QStringLiteral("TC"), QStringLiteral("nvarchar"), 8},
    {QStringLiteral("IDCOMPROBANTE"), QStringLiteral("varchar"), 13},
    {QStringLiteral("CANTIDAD"), QStringLiteral("decimal"), 17, 38, 10},
    {QStringLiteral("PRECIO"), QStringLiteral("money"), 8, 19, 4},
    {QStringLiteral("FECHA"), QStringLiteral("datetime2"), 8, 27, 7},
    {QStringLiteral("HORA"), QStringLiteral("time"), 5, 16, 7},
    {QStringLiteral("DESDE"), QStringLiteral("datetimeoffset"), 10, 34, 7},
    {QStringLiteral("ALTA"), QStringLiteral("datetime"), 8, 23, 3},
    {QStringLiteral("NOTA"), QStringLiteral("nvarchar"), -1},
    {QStringLiteral("DATOS"), QStringLiteral("xml"), -1},
    {QStringLiteral("LUGAR"), QStringLiteral("geography"), -1},
    {QStringLiteral("MARCA"), QStringLiteral("varbinary"), 16},
    {QStringLiteral("VERSION"), QStringLiteral("timestamp"), 8},
    {QStringLiteral("TOTAL"), QStringLiteral("nvarchar"), 30, 0, 0, false, true},
};

QString longNote() { return QString(4100, u'x') + QStringLiteral("\r\nGO\n") + QString(30, u'y') + QStringLiteral("  "); }

QStringList everyTypeRows() {
    const QString note = QString(longNote()).replace(u'\'', QStringLiteral("''"));
    return {
        // A voucher without a header: its rows go, and come back with every digit. (Keys stay
    // within 32 bits: the SQLite ODBC driver standing in hands INTEGER columns over as such.)
        QStringLiteral("INSERT INTO V_MV_Stock VALUES (2000000001, 'fcc', '0001-00000042', "
                       "'1234567890123456789012345678.0123456789', '-922337203685477.5808', '2003-02-17T10:15:00.1234567', "
                       "'23:59:59.9999999', '2003-03-30T02:30:00.1234567+02:00', '2008-10-19T00:00:00', "
                       "'%1', '<a b=\"1\">ñ</a>', X'E6100000010C', X'0100', X'00000000000007D1')")
            .arg(note),
        QStringLiteral("INSERT INTO V_MV_Stock (IDMOVIMIENTO, TC, IDCOMPROBANTE, NOTA, MARCA) VALUES "
                       "(2000000002, 'fcc', '0001-00000042', 'O''Brien ', X'01')"),
        // The same voucher number with a trailing blank is the same voucher to SQL Server.
        QStringLiteral("INSERT INTO V_MV_Stock (IDMOVIMIENTO, TC, IDCOMPROBANTE, NOTA) VALUES (2000000003, 'fcc', "
                       "'0001-00000042 ', 'O''Brien')"),
        // A good voucher and one of another type: never touched.
        QStringLiteral("INSERT INTO V_MV_Stock (IDMOVIMIENTO, TC, IDCOMPROBANTE) VALUES (10, 'fcc', '0001-00000001'), "
                       "(11, 'fcv', '0001-00000042')"),
        QStringLiteral("INSERT INTO C_MV_Cpte VALUES ('fcc', '0001-00000001', '1.1.01')"),
    };
}

class SqlServerJournal : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_EQ(testsupport::registerOdbcShim().toStdString(), "");
    }
    QString keys(const QString& file) const { return QStringLiteral("@Server=srv01,1433; @DbName=%1; @Usuario=sa;").arg(file); }
    QMap<QString, QString> env() const {
        return {{QStringLiteral("STOCKFIX_ODBC_DRIVER"), QString::fromLatin1(testsupport::kOdbcShimDriver)},
                {QStringLiteral("STOCKFIX_SHIM_LOG"), path(logName)},
                {QStringLiteral("STOCKFIX_PASSWORD"), QStringLiteral("secreto")}};
    }
    Outcome stockfix(const QStringList& args) { return testsupport::runStockfix(args, env()); }
    // Every row, every column but those the engine writes, as SQLite quotes it.
    QStringList rows(const QString& file, const QString& columns) const {
        QStringList out = queryColumn(file, QStringLiteral("SELECT %1 FROM V_MV_Stock").arg(columns));
        out.sort();
        return out;
    }
    QList<ShimLogRecord> log() const {
        QList<ShimLogRecord> records;
        QString error;
        EXPECT_TRUE(odbcshim::readShimLog(path(logName), records, &error)) << error.toStdString();
        return records;
    }
    // Valid T-SQL, every text of the log.
    void expectTsql() const {
        const odbcshim::TsqlCheck check = odbcshim::checkTsql(path(logName));
        ASSERT_TRUE(check.ran) << "the T-SQL parser is not installed (scripts/install-deps installs it): "
                               << check.message.toStdString();
        EXPECT_TRUE(check.parsed) << check.message.toStdString();
    }
    QString logName = QStringLiteral("shim.jsonl");
};

// Every column but the exact numbers: SQLite, standing in, reads a decimal literal as a
// double, where SQL Server keeps every digit; their literals are checked in the journal.
const QString kCompared = QStringLiteral(
    "quote(IDMOVIMIENTO)||'|'||quote(TC)||'|'||quote(IDCOMPROBANTE)||'|'||"
    "quote(FECHA)||'|'||quote(HORA)||'|'||quote(DESDE)||'|'||quote(ALTA)||'|'||quote(NOTA)||'|'||quote(DATOS)||'|'||"
    "quote(LUGAR)||'|'||quote(MARCA)||'|'||quote(TOTAL)");

}  // namespace

TEST_F(SqlServerJournal, EveryColumnTypeComesBackExactlyAndEveryTextSentIsSqlServers) {
    const QString file = makeDatabase(QStringLiteral("gestion.sqlite"), kEveryType + testsupport::configurationTable() + everyTypeRows());
    ASSERT_EQ(testsupport::describeShimTable(file, QStringLiteral("V_MV_Stock"), kEveryTypeColumns), QString());
    const QStringList before = rows(file, kCompared);
    const QString journal = path(QStringLiteral("diario.sql"));

    const Outcome run = stockfix({QStringLiteral("--batch"), QStringLiteral("--journal"), journal, keys(file)});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(rows(file, kCompared).size(), before.size() - 3);  // the three rows of the voucher went
    QFile f(journal);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\n-- Motor: SQL Server\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\n-- Columnas que escribe el motor: VERSION, TOTAL\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nSET IDENTITY_INSERT V_MV_Stock ON;\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("[VERSION]")));
    EXPECT_FALSE(text.contains(QStringLiteral("secreto")));
    EXPECT_TRUE(text.contains(QStringLiteral(" SELECT 2000000001, N'fcc', N'0001-00000042', 1234567890123456789012345678.0123456789, "
                                             "-922337203685477.5808, N'2003-02-17T10:15:00.1234567', N'23:59:59.9999999', "
                                             "N'2003-03-30T02:30:00.1234567+02:00', N'2008-10-19T00:00:00', (CAST(N'")));
    EXPECT_TRUE(text.contains(QStringLiteral("' AS nvarchar(max)) + NCHAR(13) + NCHAR(10) + N'GO' + NCHAR(10) + N'")));
    EXPECT_TRUE(text.contains(QStringLiteral("N'<a b=\"1\">ñ</a>', CAST(0xE6100000010C AS geography), 0x0100 WHERE NOT EXISTS")));
    const QList<ShimLogRecord> written = log();
    expectTsql();
    logName = QStringLiteral("restore.jsonl");

    const Outcome first = stockfix({QStringLiteral("--restore"), journal, keys(file)});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, QStringLiteral("3 filas repuestas, 0 ya estaban\n"));
    EXPECT_TRUE(rows(file, kCompared) == before);
    const QList<ShimLogRecord> restored = log();
    expectTsql();
    const Outcome second = stockfix({QStringLiteral("--restore"), journal, keys(file)});
    EXPECT_EQ(second.out, QStringLiteral("0 filas repuestas, 3 ya estaban\n"));
    EXPECT_TRUE(rows(file, kCompared) == before);

    // What reached the driver: session settings by direct execution, never prepared, and
    // never a GO; every INSERT the restore ran is a line of the journal, to the byte.
    QStringList journalInserts;
    for (const QString& line : text.split(u'\n'))
        if (line.startsWith(QStringLiteral("INSERT INTO"))) journalInserts << line;
    QStringList ranInserts;
    for (const QList<ShimLogRecord>* records : {&written, &restored}) {
        for (const ShimLogRecord& r : *records) {
            if (!r.hasText) continue;
            SCOPED_TRACE(r.text.left(120).toStdString());
            EXPECT_FALSE(QRegularExpression(QStringLiteral("(^|\\n)\\s*GO\\s*($|\\n)")).match(r.text).hasMatch() &&
                         !r.text.contains(u'\''));
            if (r.text.startsWith(QStringLiteral("SET IDENTITY_INSERT"))) {
                EXPECT_EQ(r.op, QStringLiteral("direct"));
            }
            if (r.op == u"prepare" && r.text.startsWith(QStringLiteral("INSERT INTO"))) ranInserts << r.text;
        }
    }
    EXPECT_EQ(odbcshim::shimLogTexts(restored, QStringLiteral("direct")).filter(QStringLiteral("IDENTITY_INSERT")),
              (QStringList{QStringLiteral("SET IDENTITY_INSERT V_MV_Stock ON;"), QStringLiteral("SET IDENTITY_INSERT V_MV_Stock OFF;")}));
    EXPECT_TRUE(ranInserts == journalInserts);
    EXPECT_FALSE(odbcshim::shimLogTexts(written, QStringLiteral("prepare")).filter(QStringLiteral("sys.columns")).isEmpty());

}

// SQL Server's "=" ignores trailing blanks: two rows that differ only there both come back,
// neither is taken for the other.
TEST_F(SqlServerJournal, RowsThatDifferOnlyInTrailingBlanksBothComeBack) {
    const QString file = makeDatabase(
        QStringLiteral("blancos.sqlite"),
        QStringList{QStringLiteral("CREATE TABLE V_MV_Stock (TC TEXT COLLATE RTRIM, IDCOMPROBANTE TEXT COLLATE RTRIM, "
                                   "NOTA TEXT COLLATE RTRIM, CODIGO BLOB)"),
                    QStringLiteral("CREATE TABLE C_MV_Cpte (TC TEXT COLLATE RTRIM, IDCOMPROBANTE TEXT COLLATE RTRIM, CUENTA TEXT)"),
                    QStringLiteral("INSERT INTO V_MV_Stock VALUES ('fcc', 'B', 'x', X'01'), ('fcc', 'B', 'x ', X'01'), "
                                   "('fcc', 'B', 'x  ', X'01'), ('fcc', 'B', 'y', X'0100')")} +
            testsupport::configurationTable());
    ASSERT_EQ(testsupport::describeShimTable(file, QStringLiteral("V_MV_Stock"),
                                             {{QStringLiteral("TC"), QStringLiteral("nvarchar"), 8},
                                              {QStringLiteral("IDCOMPROBANTE"), QStringLiteral("nvarchar"), 26},
                                              {QStringLiteral("NOTA"), QStringLiteral("nchar"), 20},
                                              {QStringLiteral("CODIGO"), QStringLiteral("binary"), 4}}),
              QString());
    const QString compared = QStringLiteral("quote(TC)||'|'||quote(IDCOMPROBANTE)||'|'||quote(NOTA)||'|'||quote(CODIGO)");
    const QStringList before = rows(file, compared);
    const QString journal = path(QStringLiteral("blancos.sql"));
    ASSERT_EQ(stockfix({QStringLiteral("--batch"), QStringLiteral("--journal"), journal, keys(file)}).status, 0);
    EXPECT_EQ(rows(file, compared), QStringList());
    const Outcome back = stockfix({QStringLiteral("--restore"), journal, keys(file)});
    EXPECT_EQ(back.out, QStringLiteral("4 filas repuestas, 0 ya estaban\n")) << back.err.toStdString();
    EXPECT_TRUE(rows(file, compared) == before);
}

// A column whose values cannot go back exactly stops the run before any deletion.
TEST_F(SqlServerJournal, AColumnTheJournalCannotPutBackStopsTheRunBeforeAnyDeletion) {
    const QString file = makeDatabase(
        QStringLiteral("variant.sqlite"),
        QStringList{QStringLiteral("CREATE TABLE V_MV_Stock (TC TEXT, IDCOMPROBANTE TEXT, VALOR TEXT)"),
                    QStringLiteral("CREATE TABLE C_MV_Cpte (TC TEXT, IDCOMPROBANTE TEXT, CUENTA TEXT)"),
                    QStringLiteral("INSERT INTO V_MV_Stock VALUES ('fcc', 'C', '1')")} +
            testsupport::configurationTable());
    ASSERT_EQ(testsupport::describeShimTable(file, QStringLiteral("V_MV_Stock"),
                                             {{QStringLiteral("TC"), QStringLiteral("nvarchar"), 8},
                                              {QStringLiteral("IDCOMPROBANTE"), QStringLiteral("nvarchar"), 26},
                                              {QStringLiteral("VALOR"), QStringLiteral("sql_variant"), 8016}}),
              QString());
    const Outcome o = stockfix({QStringLiteral("--batch"), QStringLiteral("--journal"), path(QStringLiteral("v.sql")), keys(file)});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.contains(QStringLiteral("la columna VALOR de V_MV_Stock es de tipo sql_variant"))) << o.err.toStdString();
    EXPECT_EQ(queryColumn(file, QStringLiteral("SELECT count(*) FROM V_MV_Stock")), QStringList{QStringLiteral("1")});
}
