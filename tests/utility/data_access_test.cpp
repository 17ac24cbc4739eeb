#include "platform/runtime_error.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"
#include "utility/data_access.h"
#include "utility/field_sizes.h"
#include "support/expect_runtime_error.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include "platform/odbc_api.h"

using platform::Recordset;
using testsupport::ProgramTest;
using utility::DataAccess;
using testsupport::expectRuntimeError;

namespace {

class DataAccessTest : public ProgramTest {
protected:
    void openOn(DataAccess& da, const QString& file) {
        da.setServer(QStringLiteral("SQLite"));
        da.setDatabaseName(file);
        da.setPassword(QStringLiteral("s3cr3t-pw"));
        da.OpenSession(0, 3);
        ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
    }
    QString sampleDatabase() {
        return makeDatabase(QStringLiteral("d.sqlite"),
                            {QStringLiteral("CREATE TABLE T (ID INT, CODIGO VARCHAR(13), CHICO SMALLINT, "
                                            "PRECIO MONEY, PESO FLOAT, ALTA DATETIME, NOTA TEXT)"),
                             QStringLiteral("INSERT INTO T VALUES (1, 'a', 1, 2.5, 1.5, '2003-02-17', '')"),
                             QStringLiteral("INSERT INTO T VALUES (2, NULL, 2, NULL, NULL, NULL, 'x')"),
                             QStringLiteral("INSERT INTO T VALUES (3, 'c''d', 3, 1, 1, NULL, NULL)")});
    }
};

}  // namespace

TEST_F(DataAccessTest, AMissingOrForeignFileIsAnErrorNeverANewDatabase) {
    testsupport::ScriptedPrompter prompter;
    QFile junk(path(QStringLiteral("junk.sqlite")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    for (const QString& file : {path(QStringLiteral("missing.sqlite")), junk.fileName(), dir.path(), QString()}) {
        SCOPED_TRACE(file.toStdString());
        DataAccess da;
        da.setServer(QStringLiteral("sqlite"));
        da.setDatabaseName(file);
        da.setPassword(QStringLiteral("s3cr3t-pw"));
        testing::internal::CaptureStderr();
        da.OpenSession(0, 3);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(da.IsOpen());
        EXPECT_FALSE(da.lastOpenError().isEmpty());
        EXPECT_FALSE(da.lastOpenError().contains(QStringLiteral("s3cr3t")));
        EXPECT_EQ(err, std::string());  // the session records why; its caller tells the user
        expectRuntimeError(platform::kConnectionError, [&] { da.ExecuteSql(QStringLiteral("DELETE T")); });
    }
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing.sqlite"))));
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST(DataAccessHiding, ThePasswordIsHiddenWhereItStandsAsThePasswordOnly) {
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"no such table: C_MV_Cpte", "no such table: C_MV_Cpte"},  // a password "a" leaves words alone
        {"file is not a database", "file is not a database"},
        {"DRIVER={FreeTDS};SERVER=srv;UID=sa;PWD=a;", "DRIVER={FreeTDS};SERVER=srv;UID=sa;PWD=****;"},
        {"UID=sa;PWD={pa;ss}}word};APP=x", "UID=sa;PWD=****;APP=x"},
        {"@Usuario=sa; @Password = secreto; @Caja=1;", "@Usuario=sa; @Password = ****; @Caja=1;"},
        {"password=x\nsiguiente", "password=****\nsiguiente"},
        {"PWD=;", "PWD=;"},
        {"UnPassword=no es clave", "UnPassword=no es clave"},  // a whole key only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DataAccess::hidePasswords(QString::fromUtf8(c.text)), QString::fromUtf8(c.shown));
    }
}

TEST_F(DataAccessTest, ConnectionStringNeverCarriesThePassword) {
    DataAccess da;
    da.setPassword(QStringLiteral("pa;ss}word"));
    da.setUserName(QStringLiteral("sa"));
    da.setDatabaseName(QStringLiteral("GESTION"));
    da.setServer(QStringLiteral("srv01,1433"));
    EXPECT_FALSE(da.ConnectionString().contains(QStringLiteral("pa;ss")));
    EXPECT_TRUE(da.ConnectionString().contains(QStringLiteral("DATABASE=GESTION;")));
    da.setServer(QStringLiteral("sqlite"));
    EXPECT_FALSE(da.ConnectionString().contains(QStringLiteral("pa;ss")));
}

TEST_F(DataAccessTest, RecordsetHasAStaticCursorWithFieldsByNameOrNumber) {
    DataAccess da;
    openOn(da, sampleDatabase());
    Recordset rs;
    da.OpenRecordset(QStringLiteral("SELECT ID, CODIGO, NOTA FROM T ORDER BY ID"), rs, 0, 1, -1);
    ASSERT_FALSE(rs.bof());
    // Rows stay as they were at opening, whatever happens to the table afterwards.
    da.ExecuteSql(QStringLiteral("DELETE T WHERE ID = 2"));
    QStringList seen;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        seen << rs.fields(QStringLiteral("id")).value().toString() + u':' +
                    (rs.fields(1).isNull() ? QStringLiteral("NULL") : rs.fields(QStringLiteral("Codigo")).value().toString()) +
                    u':' + (rs.fields(QStringLiteral("NOTA")).value().isValid() ? QStringLiteral("v") : QStringLiteral("null"));
    EXPECT_EQ(seen, (QStringList{"1:a:v", "2:NULL:v", "3:c'd:null"}));
    EXPECT_TRUE(rs.eof());
    expectRuntimeError(platform::kBofOrEof, [&] { rs.fields(0).value(); });
    expectRuntimeError(platform::kBofOrEof, [&] { rs.moveNext(); });
    expectRuntimeError(platform::kItemNotFound, [&] { rs.fields(QStringLiteral("NOPE")); });
    // Null stays distinct from the empty text.
    rs.moveFirst();
    EXPECT_FALSE(rs.fields(2).isNull());
    EXPECT_EQ(rs.fields(2).value().toString(), QString());

    da.OpenRecordset(QStringLiteral("SELECT ID FROM T WHERE ID > 99"), rs, 0, 1, -1);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    da.CloseRecordset(rs);
    expectRuntimeError(platform::kObjectClosed, [&] { rs.bof(); });
    expectRuntimeError(platform::kObjectClosed, [&] { da.CloseRecordset(rs); });
}

TEST_F(DataAccessTest, StatementsGiveEachValueTheTypeItHoldsAndSeeTheSessionsWrites) {
    DataAccess da;
    openOn(da, sampleDatabase());
    EXPECT_EQ(da.backend(), utility::Backend::NativeSqlite);
    const struct {
        const char* expression;
        QVariant value;
    } cases[] = {
        {"42", QVariant(qlonglong(42))},
        {"9007199254740993", QVariant(qlonglong(9007199254740993LL))},
        {"2.5", QVariant(2.5)},
        {"'texto ñ'", QVariant(QStringLiteral("texto ñ"))},
        {"''", QVariant(QStringLiteral(""))},
        {"X'00FF'", QVariant(QByteArray("\x00\xff", 2))},
        {"NULL", QVariant(QMetaType::fromType<QString>())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        utility::Statement q = da.OpenQuery(QStringLiteral("SELECT %1 AS V").arg(QString::fromUtf8(c.expression)));
        EXPECT_EQ(q.columnNames(), QStringList{"V"});
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).metaType(), c.value.metaType());
        EXPECT_EQ(q.value(0).isNull(), c.value.isNull());
        EXPECT_EQ(q.value(0), c.value);
        EXPECT_FALSE(q.next());
    }
    // Prepared once, bound and run again; the session's own writes are seen.
    utility::Statement byId = da.PrepareQuery(QStringLiteral("SELECT NOTA FROM T WHERE ID = ?"));
    EXPECT_EQ(da.ExecuteSql(QStringLiteral("UPDATE T SET NOTA = 'y' WHERE ID >= 2")), 2);
    for (const auto& [id, nota] : {std::pair{1, ""}, std::pair{3, "y"}}) {
        byId.bind(0, id);
        da.RunQuery(byId);
        ASSERT_TRUE(byId.next());
        EXPECT_EQ(byId.value(0), QVariant(QString::fromLatin1(nota)));
    }
    expectRuntimeError(platform::kDatabaseError, [&] { da.ExecuteSql(QStringLiteral("DELETE T WHERE ID = 1; DELETE T")); });
    EXPECT_EQ(testsupport::queryColumn(da.DatabaseName(), QStringLiteral("SELECT count(*) FROM T")), QStringList{"3"});
}

TEST_F(DataAccessTest, DefinedSizesFollowTheDeclaredTypes) {
    DataAccess da;
    openOn(da, sampleDatabase());
    Recordset rs;
    da.OpenRecordset(QStringLiteral("SELECT ID, CODIGO, CHICO, PRECIO, PESO, ALTA, CODIGO || 'xyz' AS EXPR FROM T"), rs);
    const int expected[] = {4, 13, 2, 8, 8, 16, 6};  // the expression: its longest value ("c'dxyz")
    for (int i = 0; i < 7; ++i) EXPECT_EQ(rs.fields(i).definedSize(), expected[i]) << i;
    EXPECT_EQ(rs.fields(6).name(), QStringLiteral("EXPR"));

    EXPECT_EQ(utility::definedSizeForDeclaredType(QStringLiteral("nvarchar ( 40 )")), 40);
    EXPECT_EQ(utility::definedSizeForDeclaredType(QStringLiteral("DECIMAL(18,2)")), 19);
    EXPECT_EQ(utility::definedSizeForDeclaredType(QStringLiteral("SMALLMONEY")), 4);
    EXPECT_EQ(utility::definedSizeForDeclaredType(QString()), std::nullopt);
    // Other names by SQLite's affinity rules: 64-bit integers and reals, not unbounded texts.
    for (const char* eight : {"INT8", "UNSIGNED BIG INT", "MEDIUMINT", "FLOAT8", "DOUBLE(10,2)"})
        EXPECT_EQ(utility::definedSizeForDeclaredType(QString::fromLatin1(eight)), 8) << eight;
    // A text without a length, or of (MAX), holds any text: sized as the server's nvarchar(max).
    for (const char* unbounded : {"NVARCHAR(MAX)", "varchar ( max )", "VARCHAR", "NVARCHAR", "CHAR", "VARBINARY(MAX)"})
        EXPECT_EQ(utility::definedSizeForDeclaredType(QString::fromLatin1(unbounded)), utility::kLongTextSize) << unbounded;
    EXPECT_EQ(utility::definedSizeForDeclaredType(QStringLiteral("CHAR(1)")), 1);
    EXPECT_EQ(utility::definedSizeForDeclaredType(QStringLiteral("TIME")), 6);
    EXPECT_EQ(utility::definedSizeForOdbcType(SQL_DATE, 10, 0), 6);  // an ODBC 2 driver's date
    EXPECT_EQ(utility::definedSizeForOdbcType(SQL_TYPE_TIME, 8, 0), 6);
    EXPECT_EQ(utility::definedSizeForOdbcType(SQL_TIMESTAMP, 32, 0), 16);
}

TEST_F(DataAccessTest, StatementErrorsCarryTheDriversMessage) {
    DataAccess da;
    openOn(da, sampleDatabase());
    Recordset rs;
    const auto e = expectRuntimeError(platform::kDatabaseError,
                                      [&] { da.OpenRecordset(QStringLiteral("SELECT * FROM NO_TABLE"), rs); });
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->description().contains(QStringLiteral("NO_TABLE"))) << e->description().toStdString();
    EXPECT_FALSE(rs.isOpen());
    expectRuntimeError(platform::kDatabaseError, [&] { da.ExecuteSql(QStringLiteral("DELETE NO_TABLE")); });
}

TEST_F(DataAccessTest, TheCommandTimeoutActsOnALockedDatabase) {
    const QString file = sampleDatabase();
    DataAccess da;
    openOn(da, file);
    da.connection().setCommandTimeout(1);

    // Another program holds the write lock.
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
    other.setDatabaseName(file);
    ASSERT_TRUE(other.open());
    QSqlQuery lock(other);
    ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));

    QElapsedTimer waited;
    waited.start();
    expectRuntimeError(platform::kDatabaseError, [&] { da.ExecuteSql(QStringLiteral("DELETE T WHERE ID = 1")); });
    EXPECT_GE(waited.elapsed(), 900);    // it waited for the lock ...
    EXPECT_LT(waited.elapsed(), 30000);  // ... but not for the default

    lock.exec(QStringLiteral("ROLLBACK"));
    lock = QSqlQuery();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    da.ExecuteSql(QStringLiteral("DELETE T WHERE ID = 1"));
    EXPECT_EQ(testsupport::queryColumn(file, QStringLiteral("SELECT count(*) FROM T")), QStringList{"2"});
}
