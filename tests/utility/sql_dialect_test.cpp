#include "utility/sql_dialect.h"

#include <gtest/gtest.h>

using utility::toSqliteDialect;

TEST(SqliteDialect, AdaptsOnlyNLiteralsAndDeleteWithoutFrom) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"SELECT 1 WHERE TC = N'fcc'", "SELECT 1 WHERE TC = 'fcc'"},
        {"SELECT n'a', N'b''c'", "SELECT 'a', 'b''c'"},
        {"DELETE V_MV_STOCK WHERE TC ='fcc'", "DELETE FROM V_MV_STOCK WHERE TC ='fcc'"},
        {"delete  [V_MV_STOCK] where 1=1", "delete FROM  [V_MV_STOCK] where 1=1"},
        {"DELETE FROM V_MV_STOCK", "DELETE FROM V_MV_STOCK"},
        {"DELETE /* c */ FROM T", "DELETE /* c */ FROM T"},
        // text in literals, names and comments is never touched
        {"SELECT 'DELETE T', 'N''x''', \"N'\" FROM T -- DELETE T N'x'", "SELECT 'DELETE T', 'N''x''', \"N'\" FROM T -- DELETE T N'x'"},
        {"SELECT COLUMN_N'", "SELECT COLUMN_N'"},
        {"SELECT [DELETE X], NAME FROM T WHERE X = 'it''s N''ok'", "SELECT [DELETE X], NAME FROM T WHERE X = 'it''s N''ok'"},
        {"DELETE T WHERE A = 'unterminated", "DELETE FROM T WHERE A = 'unterminated"},
        {"UNDELETE T", "UNDELETE T"},
        {"SELECT 'a'N'b'", "SELECT 'a' 'b'"},  // two literals stay two
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const QString once = toSqliteDialect(QString::fromUtf8(c.in));
        EXPECT_EQ(once, QString::fromUtf8(c.out));
        EXPECT_EQ(toSqliteDialect(once), once);  // adapting twice changes nothing more
    }
}

// For the SQLite ODBC driver: literals holding characters beyond 16 bits travel as bytes.
TEST(SqlDialect, LiteralsTheOdbcDriverCannotCarryTravelAsTheirBytes) {
    bool sendable = false;
    EXPECT_EQ(utility::withNarrowLiterals(QStringLiteral("SELECT 'ñandú €'"), &sendable), QStringLiteral("SELECT 'ñandú €'"));
    EXPECT_TRUE(sendable);
    EXPECT_EQ(utility::withNarrowLiterals(QStringLiteral("DELETE FROM T WHERE A = 'x😧'' OR 1=1 --' AND B = 'b'"), &sendable),
              QStringLiteral("DELETE FROM T WHERE A = CAST(X'78F09F98A727204F5220313D31202D2D' AS TEXT) AND B = 'b'"));
    EXPECT_TRUE(sendable);
    utility::withNarrowLiterals(QStringLiteral("SELECT [😀] FROM T"), &sendable);
    EXPECT_FALSE(sendable);
}
