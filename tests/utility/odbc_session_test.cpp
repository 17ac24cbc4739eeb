// The ODBC path for real: the same session and recordset code through unixODBC, with the
// SQLite ODBC driver standing in for SQL Server's.
#include "support/odbc_file_name.h"
#include "support/test_env.h"
#include "platform/runtime_error.h"
#include "utility/data_access.h"
#include "utility/field_sizes.h"
#include "utility/odbc_block_reader.h"
#include "support/expect_runtime_error.h"

#include <QDateTime>

#include <gtest/gtest.h>

using testsupport::ProgramTest;
using utility::DataAccess;
using testsupport::expectRuntimeError;

namespace {

class OdbcSession : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        qputenv("STOCKFIX_ODBC_DRIVER", "SQLite3");
    }
    void TearDown() override {
        qunsetenv("STOCKFIX_ODBC_DRIVER");
        ProgramTest::TearDown();
    }
};

}  // namespace

TEST_F(OdbcSession, OpensRunsStatementsAndReadsRecordsetsThroughUnixOdbc) {
    EXPECT_TRUE(DataAccess::installedOdbcDrivers().contains(QStringLiteral("SQLite3")));
    const QString file = makeDatabase(
        QStringLiteral("odbc.sqlite"),
        {QStringLiteral("CREATE TABLE V_MV_Stock (TC VARCHAR(4), IDCOMPROBANTE VARCHAR(13), CANTIDAD FLOAT, N INT)"),
         QStringLiteral("INSERT INTO V_MV_Stock VALUES ('fcc', '0001-1', 2, 1), ('fcc', 'a''b', 3, 2), ('fcv', NULL, 4, 3)")});
    DataAccess da;
    da.setServer(QStringLiteral("localhost"));
    da.setDatabaseName(testsupport::odbcFileName(file));
    da.setUserName(QStringLiteral("sa"));
    da.setPassword(QStringLiteral("odbc-secret"));
    da.OpenSession(0, 3);
    ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
    EXPECT_EQ(da.backend(), utility::Backend::SqliteOdbc);  // the driver's engine decides the dialect
    EXPECT_TRUE(da.ConnectionString().startsWith(QStringLiteral("DRIVER={SQLite3};")));
    EXPECT_FALSE(da.ConnectionString().contains(QStringLiteral("odbc-secret")));
    da.connection().setCommandTimeout(360);

    platform::Recordset rs;
    da.OpenRecordset(QStringLiteral("SELECT TC, IDCOMPROBANTE, CANTIDAD, N FROM V_MV_Stock WHERE TC = N'fcc' ORDER BY N"), rs);
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.fields(QStringLiteral("idcomprobante")).definedSize(), 13);
    EXPECT_EQ(rs.fields(2).definedSize(), 8);
    EXPECT_EQ(rs.fields(3).definedSize(), 4);
    rs.moveNext();
    EXPECT_EQ(rs.fields(1).value().toString(), QStringLiteral("a'b"));

    da.ExecuteSql(QStringLiteral("DELETE V_MV_STOCK WHERE TC ='fcc' AND IDCOMPROBANTE = 'a''b'"));
    da.OpenRecordset(QStringLiteral("SELECT IDCOMPROBANTE FROM V_MV_Stock ORDER BY N"), rs);
    EXPECT_EQ(rs.recordCount(), 2);
    rs.moveNext();
    EXPECT_TRUE(rs.fields(0).isNull());
}

namespace {

// Every cell of two recordsets, with its type: block fetch and row by row must agree. The
// defined sizes too, but for the fields named in `ownSizes`.
void expectSameCells(platform::Recordset& a, platform::Recordset& b, const QStringList& ownSizes = {}) {
    ASSERT_EQ(a.recordCount(), b.recordCount());
    ASSERT_EQ(a.fieldCount(), b.fieldCount());
    for (int c = 0; c < a.fieldCount(); ++c) {
        EXPECT_EQ(a.fields(c).name(), b.fields(c).name());
        if (!ownSizes.contains(a.fields(c).name())) {
            EXPECT_EQ(a.fields(c).definedSize(), b.fields(c).definedSize()) << a.fields(c).name().toStdString();
        }
    }
    for (qsizetype r = 0; !a.eof(); ++r) {
        for (int c = 0; c < a.fieldCount(); ++c) {
            const QVariant x = a.fields(c).value(), y = b.fields(c).value();
            ASSERT_EQ(a.fields(c).isNull(), b.fields(c).isNull()) << r << "," << c;
            ASSERT_EQ(x.metaType(), y.metaType()) << r << "," << c;
            ASSERT_EQ(x, y) << r << "," << c << ": " << x.toString().toStdString() << " / " << y.toString().toStdString();
        }
        a.moveNext();
        b.moveNext();
    }
    EXPECT_TRUE(b.eof());
}

}  // namespace

TEST_F(OdbcSession, BlockFetchLoadsEveryCellAsTheRowByRowReadDoes) {
    QStringList statements{
        QStringLiteral("CREATE TABLE T (A VARCHAR(10), B NVARCHAR(20), C CHAR(6), N INT, F FLOAT, D DATE, L TEXT)")};
    // More rows than one block: texts with accents and ñ, blanks around, empty, Null, and a
    // text longer than its column says (SQLite keeps it).
    QString values;
    for (int i = 0; i < 2600; ++i) {
        const QString a = i % 97 == 0 ? QStringLiteral("NULL") : QStringLiteral("'  Caño %1 '").arg(i);
        const QString b = i % 13 == 0 ? QStringLiteral("''") : QStringLiteral("'Ñandú áéíóú ü %1'").arg(i);
        const QString c = i == 2500 ? QStringLiteral("'%1'").arg(QString(300, u'x')) : QStringLiteral("'c%1'").arg(i % 7);
        values += QStringLiteral("%1(%2, %3, %4, %5, %6, '2024-01-%7', 'largo %5')")
                      .arg(values.isEmpty() ? QString() : QStringLiteral(","), a, b, c)
                      .arg(i)
                      .arg(i * 0.5)
                      .arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
    }
    statements << QStringLiteral("INSERT INTO T VALUES ") + values;
    // Wide rows: fewer rows to a block.
    statements << QStringLiteral("CREATE TABLE W (N INT, X VARCHAR(4000), Y NVARCHAR(4000), Z VARCHAR(4000))")
               << QStringLiteral("INSERT INTO W SELECT N, A, B, L || A FROM T");
    const QString file = makeDatabase(QStringLiteral("block.sqlite"), statements);
    DataAccess da;
    da.setServer(QStringLiteral("localhost"));
    da.setDatabaseName(testsupport::odbcFileName(file));
    da.OpenSession(0, 3);
    ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();

    const std::pair<QString, utility::BlockRead> selects[] = {
        {QStringLiteral("SELECT A, B FROM T ORDER BY N"), utility::BlockRead::Done},  // text only: in blocks
        {QStringLiteral("SELECT A, B, C FROM T ORDER BY N"), utility::BlockRead::Restart},  // a text longer than its column
        {QStringLiteral("SELECT A, N, F, D, L FROM T ORDER BY N"), utility::BlockRead::NotSuitable},  // numbers, dates, long text
        {QStringLiteral("SELECT A, B FROM T WHERE N < 0"), utility::BlockRead::Done},  // nothing
        {QStringLiteral("SELECT X, Y, Z FROM W ORDER BY N"), utility::BlockRead::Done}};  // blocks of fewer rows
    for (const auto& [sql, how] : selects) {
        SCOPED_TRACE(sql.toStdString());
        platform::Recordset blocks, rows;
        da.OpenRecordset(sql, blocks);
        EXPECT_EQ(int(utility::lastOdbcBlockRead()), int(how));
        utility::setOdbcBlockFetch(false);
        da.OpenRecordset(sql, rows);
        utility::setOdbcBlockFetch(true);
        expectSameCells(blocks, rows);
    }
    platform::Recordset one;
    da.OpenRecordset(selects[0].first, one);
    EXPECT_EQ(one.recordCount(), 2600);
    EXPECT_TRUE(one.isTextColumn(0));  // the block read keeps texts in the compact buffers
}

TEST_F(OdbcSession, BothPathsToOneFileReadTheSameTypedLocaleFreeValues) {
    const QString file = makeDatabase(
        QStringLiteral("tipos.sqlite"),
        {QStringLiteral("CREATE TABLE T (I INTEGER, F FLOAT, D DECIMAL(20,0), N NUMERIC(18,2), M MONEY, G DECIMAL(38,10), "
                        "DT DATETIME, D2 DATETIME2, SD SMALLDATETIME, DA DATE, TI TIME, B BIT, V VARCHAR(20), "
                        "X [NVARCHAR(MAX)], BL BLOB)"),
         QStringLiteral("INSERT INTO T VALUES (12345678901234567, 1234.5, '12345678901234567', '12345678901234567', "
                        "'1234.5000', '0.5', '2003-02-17 10:15:00', '2003-02-17T10:15:00.123', '2003-02-17 10:15', "
                        "'2003-02-17', '10:15:00', 1, 'a', 'b', x'0102')"),
         QStringLiteral("INSERT INTO T VALUES (-1, 1e16, '-5', NULL, 1.5e20, '-1.5e-3', 'pendiente', NULL, NULL, "
                        "'2003-02-30', NULL, 0, NULL, NULL, NULL)"),
         // SQLite keeps any value in any column: a real or a text in an INTEGER column, a
         // text in a FLOAT one, Booleans that are not 0 or 1.
         QStringLiteral("INSERT INTO T (I, F, B) VALUES (1.5, 'abc', -1), ('abc', 1e20, 0.5), (7, NULL, 'x')")});
    auto open = [&](DataAccess& da, bool odbc) {
        da.setServer(odbc ? QStringLiteral("localhost") : QStringLiteral("sqlite"));
        da.setDatabaseName(odbc ? testsupport::odbcFileName(file) : file);
        da.OpenSession(0, 3);
        ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
    };
    DataAccess native, odbc;
    open(native, false);
    open(odbc, true);
    platform::Recordset a, b;
    native.OpenRecordset(QStringLiteral("SELECT * FROM T"), a);
    odbc.OpenRecordset(QStringLiteral("SELECT * FROM T"), b);
    for (int c = 0; c < a.fieldCount(); ++c) EXPECT_EQ(int(a.fields(c).kind()), int(b.fields(c).kind())) << c;
    // The driver sizes a blob declared without a length at 255, and so a text declared
    // [NVARCHAR(MAX)] (the brackets SQLite needs hide the "(MAX)" from it).
    expectSameCells(a, b, {QStringLiteral("X"), QStringLiteral("BL")});
    // A statement of comments only is no command on either path.
    for (DataAccess* da : {&native, &odbc}) {
        platform::Recordset none;
        expectRuntimeError(platform::kNoCommandText, [&] { da->OpenRecordset(QStringLiteral("-- nada"), none); });
    }

    // What they are: whole 64-bit integers (the driver calls INTEGER 32-bit), exact numbers
    // as the engine's own text, dates as dates, Booleans, never text in the user's locale.
    a.moveFirst();
    const QDate day(2003, 2, 17);
    const QVariant first[] = {qlonglong(12345678901234567), 1234.5, QStringLiteral("12345678901234567"),
                              QStringLiteral("12345678901234567"), QStringLiteral("1234.5"), QStringLiteral("0.5"),
                              QDateTime(day, QTime(10, 15), Qt::UTC), QDateTime(day, QTime(10, 15, 0, 123), Qt::UTC),
                              QDateTime(day, QTime(10, 15), Qt::UTC), day, QTime(10, 15), true, QStringLiteral("a"),
                              QStringLiteral("b"), QByteArray("\x01\x02", 2)};
    for (int c = 0; c < a.fieldCount(); ++c) {
        EXPECT_EQ(a.fields(c).value().metaType(), first[c].metaType()) << c;
        EXPECT_EQ(a.fields(c).value(), first[c]) << c;
    }
    EXPECT_EQ(int(a.fields(QStringLiteral("M")).kind()), int(platform::ColumnKind::ExactNumber));
    EXPECT_EQ(int(a.fields(QStringLiteral("DT")).kind()), int(platform::ColumnKind::Date));
    a.moveNext();
    EXPECT_EQ(a.fields(QStringLiteral("M")).value(), QStringLiteral("1.5e+20"));  // SQLite's text of a REAL
    EXPECT_EQ(a.fields(QStringLiteral("DT")).value(), QStringLiteral("pendiente"));  // no date: text
    EXPECT_EQ(a.fields(QStringLiteral("DA")).value(), QStringLiteral("2003-02-30"));
    EXPECT_EQ(a.fields(QStringLiteral("B")).value(), false);
    // An unbounded text column is as wide as the server's nvarchar(max).
    EXPECT_EQ(a.fields(QStringLiteral("X")).definedSize(), utility::kLongTextSize);
}
