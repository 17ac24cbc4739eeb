// The test driver that presents itself as SQL Server, through unixODBC as the program uses
// it: Qt's QODBC driver, the program's own session, and raw ODBC calls.
#include "odbc_shim_log.h"
#include "support/odbc_shim_setup.h"
#include "support/test_env.h"
#include "tsql_adapter.h"
#include "utility/data_access.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QVariant>
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

// Readable failures.
void PrintTo(const QString& s, std::ostream* out) { *out << '"' << s.toStdString() << '"'; }
void PrintTo(const QStringList& l, std::ostream* out) {
    for (const QString& s : l) *out << "\n  \"" << s.left(200).toStdString() << '"';
}

using odbcshim::ShimLogRecord;
using testsupport::ProgramTest;
using testsupport::ShimColumn;

namespace {

class OdbcShim : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_EQ(testsupport::registerOdbcShim().toStdString(), "");
    }
    void TearDown() override {
        qunsetenv("STOCKFIX_SHIM_LOG");
        qunsetenv("STOCKFIX_ODBC_DRIVER");
        for (const QString& name : std::as_const(connections)) QSqlDatabase::removeDatabase(name);
        ProgramTest::TearDown();
    }

    // A QODBC connection to the file through the shim.
    QSqlDatabase open(const QString& file) {
        const QString name = QStringLiteral("shim-test-%1").arg(connections.size());
        connections << name;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(testsupport::odbcShimConnectionText(file));
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        return db;
    }

    QList<ShimLogRecord> log(const QString& file) {
        QList<ShimLogRecord> records;
        QString error;
        EXPECT_TRUE(odbcshim::readShimLog(file, records, &error)) << error.toStdString();
        return records;
    }

    QStringList connections;
};

// Every row as its cells joined by '|'.
QStringList rowsOf(QSqlQuery& q) {
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i) cells << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
        rows << cells.join(u'|');
    }
    return rows;
}

SQLHDBC handleOf(const QSqlDatabase& db) { return *static_cast<const SQLHDBC*>(db.driver()->handle().constData()); }

QString wide(const SQLWCHAR* text, SQLSMALLINT length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

// V_MV_Stock with an identity, a computed and a timestamp column, as SQL Server's
// metadata would tell them.
const QList<ShimColumn> kStockColumns{
    {QStringLiteral("ID"), QStringLiteral("int"), 4, 10, 0, true},
    {QStringLiteral("T"), QStringLiteral("nvarchar"), -1},
    {QStringLiteral("TOTAL"), QStringLiteral("nvarchar"), 80, 0, 0, false, true},
    {QStringLiteral("RV"), QStringLiteral("timestamp"), 8, 0, 0, false, false, false},
};

const QStringList kStockTable{QStringLiteral("CREATE TABLE V_MV_Stock (ID INTEGER PRIMARY KEY, T TEXT, TOTAL TEXT, RV BLOB)")};

}  // namespace

TEST_F(OdbcShim, TheProgramSeesSqlServerWhileItsStatementsRunOnTheSqliteFile) {
    const QString file = makeDatabase(
        QStringLiteral("shim.sqlite"),
        {QStringLiteral("CREATE TABLE V_MV_Stock (TC VARCHAR(4), IDCOMPROBANTE VARCHAR(13), N INT)"),
         QStringLiteral("INSERT INTO V_MV_Stock VALUES ('fcc', 'Ñandú €', 1), ('fcc', 'a''b', 2), ('fcv', 'x', 3)")});
    qputenv("STOCKFIX_ODBC_DRIVER", testsupport::kOdbcShimDriver);
    utility::DataAccess da;
    da.setServer(QStringLiteral("localhost"));
    da.setDatabaseName(file);
    da.OpenSession(0, 3);
    ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
    EXPECT_EQ(da.backend(), utility::Backend::SqlServerOdbc);

    const SQLHDBC dbc = handleOf(da.database());
    SQLCHAR name[64] = {0};
    SQLWCHAR wideVersion[64] = {0};
    SQLSMALLINT length = 0;
    ASSERT_EQ(SQLGetInfo(dbc, SQL_DBMS_NAME, name, sizeof name, &length), SQL_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(name), "Microsoft SQL Server");
    ASSERT_EQ(SQLGetInfoW(dbc, SQL_DBMS_VER, wideVersion, sizeof wideVersion, &length), SQL_SUCCESS);
    EXPECT_EQ(wide(wideVersion, length / 2), QStringLiteral("16.00.1000"));
    ASSERT_EQ(SQLGetInfoW(dbc, SQL_DBMS_NAME, wideVersion, 10, &length), SQL_SUCCESS_WITH_INFO);  // cut short
    EXPECT_EQ(wide(wideVersion, 4), QStringLiteral("Micr"));
    EXPECT_EQ(length, 40);

    platform::Recordset rs;
    da.OpenRecordset(QStringLiteral("SELECT TC, IDCOMPROBANTE FROM V_MV_Stock WHERE TC = N'fcc' ORDER BY N"), rs);
    ASSERT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.fields(QStringLiteral("idcomprobante")).value().toString(), QStringLiteral("Ñandú €"));
    da.ExecuteSql(QStringLiteral("DELETE V_MV_STOCK WHERE TC ='fcc' AND IDCOMPROBANTE = 'a''b'"));
    da.OpenRecordset(QStringLiteral("SELECT N FROM V_MV_Stock ORDER BY N"), rs);
    EXPECT_EQ(rs.recordCount(), 2);
    da.CloseSession();

    // The SQLite driver would make a database of a missing file.
    utility::DataAccess missing;
    missing.setServer(QStringLiteral("localhost"));
    missing.setDatabaseName(path(QStringLiteral("missing.sqlite")));
    missing.OpenSession(0, 3);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("missing.sqlite"))));
}

TEST_F(OdbcShim, AdaptsTsqlOutsideLiteralsAndQuotedNamesIntoSqliteThatGivesSqlServersRows) {
    const QStringList schema{
        QStringLiteral("CREATE TABLE T (A TEXT, D TEXT, M REAL, B BLOB, N INTEGER)"),
        QStringLiteral("INSERT INTO T VALUES ('a', '2024-01-02T03:04:05', 2.5, X'4142', 1), ('A', NULL, 10, NULL, 2), "
                       "('a  ', NULL, 0, NULL, 3)"),
        QStringLiteral("CREATE TABLE Q (\"a + b\" TEXT, \"c + 0x2\" TEXT, \"d]\"\"e\" TEXT)"),
        QStringLiteral("INSERT INTO Q VALUES ('x', 'y', 'z')")};
    const struct {
        const char* tsql;
        const char* sqlite;
        const char* check;  // run after the statement for what it changed, if it has no rows
        QStringList rows;
    } cases[] = {
        {"SELECT N'caño' + NCHAR(65) + N'!'", "SELECT 'caño' || char(65) || '!'", nullptr, {"cañoA!"}},
        {"SELECT CAST(0x4142 AS varchar(10)), DATALENGTH(0xABC)",
         "SELECT CAST(X'4142' AS TEXT), length(CAST(X'0ABC' AS BLOB))", nullptr, {"AB|2"}},
        // Binary, but blind to trailing blanks, as SQL Server's = is.
        {"SELECT N FROM T WITH (UPDLOCK, HOLDLOCK) WHERE A = N'a' COLLATE Latin1_General_BIN2 ORDER BY N",
         "SELECT N FROM T  WHERE A = 'a' COLLATE RTRIM ORDER BY N", nullptr, {"1", "3"}},
        {"SELECT N FROM T t WITH (NOLOCK) WHERE A = N'a   ' collate latin1_general_bin2 ORDER BY N",
         "SELECT N FROM T t  WHERE A = 'a   ' collate RTRIM ORDER BY N", nullptr, {"1", "3"}},
        {"SELECT CONVERT(nvarchar(40), D, 126), CAST(CAST(M AS decimal(38, 4)) AS varchar(60)) FROM T WHERE N = 1",
         "SELECT D, CAST(M AS TEXT) FROM T WHERE N = 1", nullptr, {"2024-01-02T03:04:05|2.5"}},
        {"SELECT CAST(B AS varbinary(max)), CAST(N AS int) + CONVERT(nvarchar(max), (N + 0)) FROM T WHERE N = 1",
         "SELECT CAST(B AS BLOB), CAST(N AS int) || CAST((N || 0) AS TEXT) FROM T WHERE N = 1", nullptr, {"AB|110"}},
        {"DELETE T WHERE N = 2", "DELETE FROM T WHERE N = 2", "SELECT N FROM T ORDER BY N", {"1", "3"}},
        {"INSERT T (A, N) VALUES (N'z', 9)", "INSERT INTO T (A, N) VALUES ('z', 9)", "SELECT A FROM T WHERE N = 9", {"z"}},
        {"SET NOCOUNT ON; INSERT T (A, N) VALUES (N'q', 4); SELECT SCOPE_IDENTITY(), @@IDENTITY",
         "SET NOCOUNT ON; INSERT INTO T (A, N) VALUES ('q', 4); SELECT last_insert_rowid(), last_insert_rowid()", nullptr,
         {"4|4"}},
        {"SELECT N'it''s + 0x1 -- not a comment' + [a + b] + \"c + 0x2\" + [d]]\"e] FROM Q",
         "SELECT 'it''s + 0x1 -- not a comment' || [a + b] || \"c + 0x2\" || \"d]\"\"e\" FROM Q", nullptr,
         {"it's + 0x1 -- not a commentxyz"}},
        {"SELECT c.name, t.name, c.max_length FROM sys.columns AS c JOIN sys.types AS t ON t.user_type_id = "
         "c.user_type_id WHERE c.object_id = OBJECT_ID(N'V_MV_Stock') ORDER BY c.column_id",
         "SELECT c.name, t.name, c.max_length FROM shim_sys_columns AS c JOIN shim_sys_types AS t ON t.user_type_id = "
         "c.user_type_id WHERE c.object_id = (SELECT object_id FROM shim_sys_objects WHERE name = 'V_MV_Stock' COLLATE "
         "NOCASE) ORDER BY c.column_id",
         nullptr,
         {"ID|int|4", "T|nvarchar|-1", "TOTAL|nvarchar|80", "RV|timestamp|8"}},
        {"SELECT name, TYPE_NAME(system_type_id) FROM sys.columns WHERE object_id = OBJECT_ID('dbo.[v_mv_stock]') AND "
         "is_computed = 1",
         "SELECT name, (SELECT shim_type_name FROM (SELECT name AS shim_type_name, user_type_id AS shim_type_id FROM "
         "shim_sys_types) WHERE shim_type_id = system_type_id) FROM shim_sys_columns WHERE object_id = (SELECT object_id "
         "FROM shim_sys_objects WHERE name = 'v_mv_stock' COLLATE NOCASE) AND is_computed = 1",
         nullptr,
         {"TOTAL|nvarchar"}},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tsql);
        EXPECT_EQ(odbcshim::toSqlite(c.tsql), c.sqlite);
        for (const bool prepared : {false, true}) {
            SCOPED_TRACE(prepared ? "prepared" : "direct");
            const QString file = makeDatabase(QStringLiteral("adapt%1.sqlite").arg(++run), schema);
            ASSERT_EQ(testsupport::describeShimTable(file, QStringLiteral("V_MV_Stock"), kStockColumns), QString());
            QSqlDatabase db = open(file);
            QSqlQuery q(db);
            const QString tsql = QString::fromUtf8(c.tsql);
            ASSERT_TRUE(prepared ? q.prepare(tsql) && q.exec() : q.exec(tsql)) << q.lastError().text().toStdString();
            if (c.check) {
                ASSERT_TRUE(q.exec(QString::fromUtf8(c.check))) << q.lastError().text().toStdString();
            }
            EXPECT_EQ(rowsOf(q), c.rows);
        }
    }
}

TEST_F(OdbcShim, RecordsEveryTextExactlyAsItWasSentOneRecordACall) {
    const QString file = makeDatabase(QStringLiteral("log.sqlite"), {QStringLiteral("CREATE TABLE L (N INTEGER, T TEXT)")});
    QSqlDatabase db = open(file);
    const QString logFile = path(QStringLiteral("shim.jsonl"));
    qputenv("STOCKFIX_SHIM_LOG", QFile::encodeName(logFile));

    // Line breaks of both kinds, a tab, quotes, accents, a character beyond 16 bits and a
    // literal of 5000 characters.
    const QString literal = QString(4990, u'x') + QStringLiteral("ñ€\"\\𝄞\n");
    const QString insert = QStringLiteral("INSERT INTO L (N, T)\r\nVALUES (1, N'%1')").arg(literal);
    const QString select = QStringLiteral("SELECT T\n\tFROM L WHERE N = ?");
    const QString remove = QStringLiteral("DELETE L WHERE N = 1 -- ñ");
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(insert)) << q.lastError().text().toStdString();
    ASSERT_TRUE(q.prepare(select));
    for (int n : {1, 2}) {
        q.addBindValue(n);
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT T FROM L")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), literal);  // and back, through the wide functions
    ASSERT_TRUE(db.transaction());
    ASSERT_TRUE(q.exec(remove)) << q.lastError().text().toStdString();
    ASSERT_TRUE(db.commit());
    q.finish();

    const QList<ShimLogRecord> records = log(logFile);
    const QStringList expected{QStringLiteral("direct: ") + insert,
                               QStringLiteral("prepare: ") + select,
                               QStringLiteral("execute: ") + select,
                               QStringLiteral("execute: ") + select,
                               QStringLiteral("direct: SELECT T FROM L"),
                               QStringLiteral("autocommit off"),
                               QStringLiteral("direct: ") + remove,
                               QStringLiteral("commit"),
                               QStringLiteral("autocommit on")};
    QStringList seen;
    for (const ShimLogRecord& r : records) seen << (r.hasText ? r.op + QStringLiteral(": ") + r.text : r.op);
    EXPECT_EQ(seen, expected);
    ASSERT_EQ(records.size(), expected.size());
    for (const ShimLogRecord& r : records) {
        EXPECT_EQ(r.pid, QCoreApplication::applicationPid());
        EXPECT_EQ(r.connection, records[0].connection);
    }
    EXPECT_EQ(records[1].statement, records[2].statement);
    EXPECT_EQ(records[7].statement, 0);
}

TEST_F(OdbcShim, RecordedTextsAreCheckedAsTsqlOffline) {
    const QString file = makeDatabase(QStringLiteral("check.sqlite"), kStockTable);
    QSqlDatabase db = open(file);
    const QString logFile = path(QStringLiteral("check.jsonl"));
    qputenv("STOCKFIX_SHIM_LOG", QFile::encodeName(logFile));
    QSqlQuery q(db);
    for (const char* tsql : {"SELECT CONVERT(nvarchar(40), T, 126) AS [T] FROM V_MV_Stock WITH (UPDLOCK, HOLDLOCK)",
                             "DELETE V_MV_Stock WHERE T = N'x''y' COLLATE Latin1_General_BIN2",
                             "SET IDENTITY_INSERT V_MV_Stock ON; SET IDENTITY_INSERT V_MV_Stock OFF"})
        ASSERT_TRUE(q.exec(QString::fromUtf8(tsql))) << tsql << ": " << q.lastError().text().toStdString();
    const odbcshim::TsqlCheck fine = odbcshim::checkTsql(logFile);
    ASSERT_TRUE(fine.ran) << "the T-SQL parser is not installed (scripts/install-deps installs it): " << fine.message.toStdString();
    EXPECT_TRUE(fine.parsed) << fine.message.toStdString();

    // Recorded even though it fails, and named by the check.
    EXPECT_FALSE(q.exec(QStringLiteral("INSERT INTO V_MV_Stock (T) SELECT 1 WHERE")));
    const odbcshim::TsqlCheck broken = odbcshim::checkTsql(logFile);
    EXPECT_FALSE(broken.parsed);
    EXPECT_TRUE(broken.message.endsWith(QStringLiteral("INSERT INTO V_MV_Stock (T) SELECT 1 WHERE"))) << broken.message.toStdString();
}

TEST_F(OdbcShim, IdentityInsertSetDirectlyLastsForTheConnectionAndPreparedForItsOwnExecutionOnly) {
    const QString file = makeDatabase(QStringLiteral("identity.sqlite"), kStockTable);
    ASSERT_EQ(testsupport::describeShimTable(file, QStringLiteral("V_MV_Stock"), kStockColumns), QString());
    QSqlDatabase db = open(file);
    QSqlDatabase other = open(file);
    const QString identity = QStringLiteral(
        "Cannot insert explicit value for identity column in table 'V_MV_Stock' when IDENTITY_INSERT is set to OFF.");
    const struct {
        bool prepared;
        const char* tsql;
        int native;  // 0: it runs
    } steps[] = {
        {true, "SET IDENTITY_INSERT V_MV_Stock ON", 0},
        {false, "INSERT INTO V_MV_Stock ([ID], [T]) VALUES (5, N'a')", 544},
        {false, "SET IDENTITY_INSERT V_MV_Stock ON", 0},
        {true, "INSERT INTO V_MV_Stock ([ID], [T]) VALUES (5, N'a')", 0},
        {false, "SET IDENTITY_INSERT Otra ON", 8107},  // one table at a time
        {false, "SET IDENTITY_INSERT dbo.v_mv_stock OFF", 0},
        {true, "INSERT INTO V_MV_Stock (id, T) VALUES (6, N'b')", 544},
        {true, "SET IDENTITY_INSERT V_MV_Stock ON;\nINSERT INTO V_MV_Stock (ID, T) VALUES (6, N'b')\n"
               "SET IDENTITY_INSERT V_MV_Stock OFF", 0},
        {false, "INSERT INTO V_MV_Stock (ID, T) VALUES (7, N'c')", 544},
        {false, "INSERT V_MV_Stock (T) VALUES (N'c')", 0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.tsql);
        QSqlQuery q(db);
        const QString tsql = QString::fromUtf8(s.tsql);
        const bool ran = s.prepared ? q.prepare(tsql) && q.exec() : q.exec(tsql);
        EXPECT_EQ(ran, s.native == 0) << q.lastError().text().toStdString();
        if (s.native) {
            EXPECT_EQ(q.lastError().nativeErrorCode(), QString::number(s.native));
        }
        if (s.native == 544) {
            EXPECT_EQ(q.lastError().databaseText(), identity);
        }
    }
    // The other connection never had IDENTITY_INSERT on.
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(QStringLiteral("SET IDENTITY_INSERT V_MV_Stock ON")));
    QSqlQuery elsewhere(other);
    EXPECT_FALSE(elsewhere.exec(QStringLiteral("INSERT INTO V_MV_Stock (ID) VALUES (9)")));
    EXPECT_EQ(elsewhere.lastError().nativeErrorCode(), QStringLiteral("544"));
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT ID FROM V_MV_Stock ORDER BY ID")));
    EXPECT_EQ(rowsOf(q), (QStringList{"5", "6", "7"}));
}

TEST_F(OdbcShim, RefusesWhatSqlServerRefusesWithItsErrorsUntilTheHandlesNextCall) {
    const QString file = makeDatabase(QStringLiteral("refused.sqlite"), kStockTable);
    ASSERT_EQ(testsupport::describeShimTable(file, QStringLiteral("V_MV_Stock"), kStockColumns), QString());
    QSqlDatabase db = open(file);
    // Raw ODBC 3 handles as well: Qt asks for ODBC 2, whose SQLSTATEs the driver manager
    // gives in their older form (37000 for 42000).
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)));
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc)));
    std::u16string connection = testsupport::odbcShimConnectionText(file).toStdU16String();
    ASSERT_TRUE(SQL_SUCCEEDED(SQLDriverConnectW(dbc, nullptr, reinterpret_cast<SQLWCHAR*>(connection.data()), SQL_NTS,
                                                nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)));
    const struct {
        const char* tsql;
        const char* state;
        int native;
        const char* message;
    } cases[] = {
        {"INSERT INTO V_MV_Stock (T, [Total]) VALUES (N'c', N'x')", "42000", 271,
         "The column \"TOTAL\" cannot be modified because it is either a computed column or is the result of a UNION "
         "operator."},
        {"INSERT INTO V_MV_Stock (T, RV) VALUES (N'c', 0x01)", "23000", 273,
         "Cannot insert an explicit value into a timestamp column. Use INSERT with a column list to exclude the "
         "timestamp column, or insert a DEFAULT into the timestamp column."},
        {"SELECT 1\nGO\n", "42000", 102, "Incorrect syntax near 'GO'."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tsql);
        const QString tsql = QString::fromUtf8(c.tsql);
        QSqlQuery q(db);
        EXPECT_FALSE(q.exec(tsql));
        EXPECT_EQ(q.lastError().nativeErrorCode(), QString::number(c.native));
        EXPECT_EQ(q.lastError().databaseText(), QString::fromUtf8(c.message));

        SQLHSTMT stmt = SQL_NULL_HSTMT;
        ASSERT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt)));
        std::u16string text = tsql.toStdU16String();
        ASSERT_EQ(SQLExecDirectW(stmt, reinterpret_cast<SQLWCHAR*>(text.data()), SQL_NTS), SQL_ERROR);
        SQLINTEGER count = 0, native = 0;
        ASSERT_EQ(SQLGetDiagFieldW(SQL_HANDLE_STMT, stmt, 0, SQL_DIAG_NUMBER, &count, 0, nullptr), SQL_SUCCESS);
        EXPECT_EQ(count, 1);
        SQLWCHAR state[6] = {0}, message[512] = {0};
        SQLSMALLINT length = 0;
        ASSERT_EQ(SQLGetDiagRecW(SQL_HANDLE_STMT, stmt, 1, state, &native, message, 512, &length), SQL_SUCCESS);
        EXPECT_EQ(wide(state, 5), QString::fromLatin1(c.state));
        EXPECT_EQ(native, c.native);
        EXPECT_EQ(wide(message, length), QString::fromUtf8(c.message));
        SQLCHAR narrow[512] = {0};
        ASSERT_EQ(SQLGetDiagField(SQL_HANDLE_STMT, stmt, 1, SQL_DIAG_MESSAGE_TEXT, narrow, sizeof narrow, &length),
                  SQL_SUCCESS);
        EXPECT_STREQ(reinterpret_cast<char*>(narrow), c.message);
        EXPECT_EQ(SQLGetDiagRecW(SQL_HANDLE_STMT, stmt, 2, state, &native, message, 512, &length), SQL_NO_DATA);
        std::u16string fine = u"SELECT 1";
        ASSERT_EQ(SQLExecDirectW(stmt, reinterpret_cast<SQLWCHAR*>(fine.data()), SQL_NTS), SQL_SUCCESS);
        EXPECT_EQ(SQLGetDiagRecW(SQL_HANDLE_STMT, stmt, 1, state, &native, message, 512, &length), SQL_NO_DATA);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    }
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
}

TEST_F(OdbcShim, ProgramsTheTestStartsFindTheDriverAndRecordToTheSameFile) {
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql"));
    if (isql.isEmpty()) {
        GTEST_SKIP() << "unixODBC's isql is not installed";
    }
    const QString file = makeDatabase(QStringLiteral("child.sqlite"), {QStringLiteral("CREATE TABLE C (A TEXT)")});
    const QString logFile = path(QStringLiteral("child.jsonl"));
    qputenv("STOCKFIX_SHIM_LOG", QFile::encodeName(logFile));
    QProcess child;
    child.start(isql, {testsupport::odbcShimConnectionText(file), QStringLiteral("-k"), QStringLiteral("-b")});
    ASSERT_TRUE(child.waitForStarted());
    const qint64 childPid = child.processId();
    child.write("SELECT N'from the child' + A FROM C\n");
    child.closeWriteChannel();
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    const QList<ShimLogRecord> records = log(logFile);
    ASSERT_FALSE(records.isEmpty()) << child.readAllStandardOutput().toStdString();
    EXPECT_EQ(records[0].text, QStringLiteral("SELECT N'from the child' + A FROM C"));
    EXPECT_EQ(records[0].pid, childPid);
}
