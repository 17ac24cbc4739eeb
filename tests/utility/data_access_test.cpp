#include "platform/runtime_error.h"
#include "support/scripted_prompter.h"
#include "support/test_env.h"
#include "utility/data_access.h"
#include "utility/field_sizes.h"
#include "utility/sqlite_handle.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlext.h>

using platform::Recordset;
using platform::RuntimeError;
using testsupport::ProgramTest;
using utility::DataAccess;

namespace {

int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

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
        EXPECT_EQ(errorNumber([&] { da.ExecuteSql(QStringLiteral("DELETE T")); }), platform::kConnectionError);
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
    EXPECT_EQ(errorNumber([&] { rs.fields(0).value(); }), platform::kBofOrEof);
    EXPECT_EQ(errorNumber([&] { rs.moveNext(); }), platform::kBofOrEof);
    EXPECT_EQ(errorNumber([&] { rs.fields(QStringLiteral("NOPE")); }), platform::kItemNotFound);
    // Null stays distinct from the empty text.
    rs.moveFirst();
    EXPECT_FALSE(rs.fields(2).isNull());
    EXPECT_EQ(rs.fields(2).value().toString(), QString());

    da.OpenRecordset(QStringLiteral("SELECT ID FROM T WHERE ID > 99"), rs, 0, 1, -1);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    da.CloseRecordset(rs);
    EXPECT_EQ(errorNumber([&] { rs.bof(); }), platform::kObjectClosed);
    EXPECT_EQ(errorNumber([&] { da.CloseRecordset(rs); }), platform::kObjectClosed);
}

TEST_F(DataAccessTest, SqliteReadsUseTheSessionsHandleOnlyOnTheLinkedLibraryAndReadTheSameOtherwise) {
    DataAccess da;
    openOn(da, sampleDatabase());
    // Debian's plugin runs on the shared SQLite this program links; an ODBC connection never counts.
    EXPECT_TRUE(utility::driverUsesLinkedSqlite(da.database()));
    EXPECT_FALSE(utility::driverUsesLinkedSqlite(QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("other"))));
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    {
        const utility::SqliteReadHandle shared(da.database(), da.DatabaseName(), 1000);
        EXPECT_TRUE(shared.shared());
    }
    const QString sql = QStringLiteral("SELECT ID, CODIGO, CHICO, PRECIO, PESO, ALTA, NOTA, CODIGO || 'x' AS E FROM T ORDER BY ID");
    Recordset viaSession, viaOwn;
    da.OpenRecordset(sql, viaSession);
    utility::setSqliteSharedHandle(false);  // as with a plugin that carries its own SQLite
    {
        const utility::SqliteReadHandle own(da.database(), da.DatabaseName(), 1000);
        EXPECT_FALSE(own.shared());
        EXPECT_NE(own.get(), nullptr);
    }
    da.ExecuteSql(QStringLiteral("UPDATE T SET NOTA = 'y' WHERE ID = 3"));  // the session's writes are seen
    da.OpenRecordset(sql, viaOwn);
    utility::setSqliteSharedHandle(true);
    ASSERT_EQ(viaSession.recordCount(), viaOwn.recordCount());
    for (int c = 0; c < viaSession.fieldCount(); ++c) EXPECT_EQ(viaSession.fields(c).definedSize(), viaOwn.fields(c).definedSize());
    for (qsizetype r = 0; !viaSession.eof(); ++r, viaSession.moveNext(), viaOwn.moveNext())
        for (int c = 0; c < viaSession.fieldCount(); ++c) {
            if (r == 2 && c == 6) {
                EXPECT_EQ(viaOwn.fields(c).value(), QVariant(QStringLiteral("y")));
                continue;
            }
            EXPECT_EQ(viaSession.fields(c).value(), viaOwn.fields(c).value()) << r << "," << c;
            EXPECT_EQ(viaSession.fields(c).value().metaType(), viaOwn.fields(c).value().metaType()) << r << "," << c;
        }
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
    try {
        da.OpenRecordset(QStringLiteral("SELECT * FROM NO_TABLE"), rs);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kDatabaseError);
        EXPECT_TRUE(e.description().contains(QStringLiteral("NO_TABLE"))) << e.description().toStdString();
    }
    EXPECT_FALSE(rs.isOpen());
    EXPECT_NE(errorNumber([&] { da.ExecuteSql(QStringLiteral("DELETE NO_TABLE")); }), 0);
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
    EXPECT_EQ(errorNumber([&] { da.ExecuteSql(QStringLiteral("DELETE T WHERE ID = 1")); }), platform::kDatabaseError);
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
