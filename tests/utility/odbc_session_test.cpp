// The ODBC path for real: the same session and recordset code through unixODBC, with the
// SQLite ODBC driver standing in for SQL Server's.
#include "support/test_env.h"
#include "utility/data_access.h"

#include <gtest/gtest.h>

using testsupport::ProgramTest;
using utility::DataAccess;

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
    da.setDatabaseName(file);
    da.setUserName(QStringLiteral("sa"));
    da.setPassword(QStringLiteral("odbc-secret"));
    da.OpenSession(0, 3);
    ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
    EXPECT_EQ(da.engine(), DataAccess::Engine::Sqlite);  // the driver's engine decides the dialect
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
