// The journal's one definition: values written exactly for each engine, every statement
// read back into the values it holds and rebuilt to the same bytes, and every line a
// doctored journal could carry refused.
#include "correction/journal_columns.h"
#include "correction/journal_format.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace correction;
using namespace correction::journal;

namespace {

Literal typed(const QString& type, const QByteArray& bytes) { return {Literal::Kind::TypedBinary, type, bytes}; }

}  // namespace

TEST(JournalFormat, ValuesAreWrittenExactlyForEachEngineAndReadBack) {
    const QString longText = QString(4000, u'a') + u'\n' + QString(10, u'b');
    const struct {
        Literal literal;
        QString sqlServer;
        QString sqlite;
    } cases[] = {
        {nullLiteral(), "NULL", "NULL"},
        {textLiteral("O'Brien"), "N'O''Brien'", "N'O''Brien'"},
        {textLiteral(""), "N''", "N''"},
        {textLiteral("a\nGO\r"), "(N'a' + NCHAR(10) + N'GO' + NCHAR(13))", "(N'a' || char(10) || N'GO' || char(13))"},
        {textLiteral("\t"), "NCHAR(9)", "char(9)"},
        {textLiteral(QString("antes") + QChar(0) + "después"), "(N'antes' + NCHAR(0) + N'después')",
         "(N'antes' || char(0) || N'después')"},
        {textLiteral("ñandú € 😀"), "N'ñandú € 😀'", "N'ñandú € 😀'"},
        {textLiteral(QString(4001, u'x')), "CAST(N'" + QString(4001, u'x') + "' AS nvarchar(max))", "N'" + QString(4001, u'x') + "'"},
        {textLiteral(longText), "(CAST(N'" + QString(4000, u'a') + "' AS nvarchar(max)) + NCHAR(10) + N'bbbbbbbbbb')",
         "(N'" + QString(4000, u'a') + "' || char(10) || N'bbbbbbbbbb')"},
        {numberLiteral("-9007199254740993"), "-9007199254740993", "-9007199254740993"},
        {numberLiteral("12345678901234567890123456.7890123456"), "12345678901234567890123456.7890123456",
         "12345678901234567890123456.7890123456"},
        {numberLiteral("1.0e+20"), "1.0e+20", "1.0e+20"},
        {binaryLiteral(QByteArray("\x00\xff", 2)), "0x00FF", "X'00FF'"},
        {typed("geography", QByteArray("\xe6\x10", 2)), "CAST(0xE610 AS geography)", ""},
        {Literal{Literal::Kind::HexText, {}, QByteArray("a\0b", 3)}, "", "CAST(X'610062' AS TEXT)"},
    };
    for (const auto& c : cases) {
        for (const Dialect d : {Dialect::SqlServer, Dialect::Sqlite}) {
            const QString& expected = d == Dialect::SqlServer ? c.sqlServer : c.sqlite;
            if (expected.isEmpty()) continue;  // a form of the other engine only
            SCOPED_TRACE(expected.left(60).toStdString());
            EXPECT_EQ(literalText(c.literal, d), expected);
            EXPECT_EQ(parseLiteral(expected, d), c.literal);
        }
    }
    // A value by its own type, as a row read from SQLite gives it.
    EXPECT_EQ(literalText(valueLiteral(QVariant(0.1 + 0.2)), Dialect::Sqlite), "0.30000000000000004");
    EXPECT_EQ(literalText(valueLiteral(QVariant(3.0)), Dialect::Sqlite), "3.0");
    EXPECT_EQ(literalText(valueLiteral(QVariant(-1e20)), Dialect::Sqlite), "-1e+20");
    EXPECT_EQ(literalText(valueLiteral(QVariant(true)), Dialect::Sqlite), "1");
    EXPECT_EQ(literalText(valueLiteral(QVariant(qlonglong(3000000001))), Dialect::Sqlite), "3000000001");
    EXPECT_EQ(commentText("a\nb\rc"), "a b c");
}

TEST(JournalFormat, EveryStatementIsReadBackIntoItsValuesAndRebuiltToTheSameBytes) {
    const QStringList cols = {"[IDMOVIMIENTO]", "[TC]", "[NOTA]", "[DATO]", "[A]]B]"};
    const struct {
        Dialect dialect;
        Insert insert;
    } cases[] = {
        {Dialect::Sqlite,
         {cols,
          {numberLiteral("3000000001"), textLiteral("fcc"), textLiteral("x'; DELETE FROM V_MV_Stock; --"),
           binaryLiteral("\x01"), nullLiteral()},
          {Comparison::Plain, Comparison::Binary, Comparison::Binary, Comparison::Plain, Comparison::IsNull},
          1}},
        {Dialect::Sqlite,
         {cols,
          {numberLiteral("7"), textLiteral("a\nb"), Literal{Literal::Kind::HexText, {}, "z"}, nullLiteral(), numberLiteral("7.5")},
          {Comparison::Plain, Comparison::Binary, Comparison::Binary, Comparison::IsNull, Comparison::Binary},
          3}},
        {Dialect::SqlServer,
         {cols,
          {numberLiteral("5"), textLiteral("fcc "), textLiteral(QString(5000, u'y') + "\n"), typed("geometry", "\x01\x02"),
           textLiteral("2003-02-17T10:15:00.1234567-03:00")},
          {Comparison::Plain, Comparison::Bin2Length, Comparison::LongTextLength, Comparison::CastBinaryLength,
           Comparison::IsoText},
          1}},
        {Dialect::SqlServer,
         {cols,
          {numberLiteral("-0.0000000001"), textLiteral("b"), textLiteral("c"), binaryLiteral(QByteArray(1, 0)), binaryLiteral("")},
          {Comparison::Plain, Comparison::Bin2, Comparison::LongText, Comparison::LongBinary, Comparison::BinaryLength},
          2}},
    };
    for (const auto& c : cases) {
        const QString text = insertText(c.insert, c.dialect);
        SCOPED_TRACE(text.left(200).toStdString());
        QString why;
        const auto back = parseInsert(text, c.dialect, &why);
        ASSERT_TRUE(back.has_value()) << why.toStdString();
        EXPECT_EQ(*back, c.insert);
        EXPECT_EQ(insertText(*back, c.dialect), text);
    }
    // The guard as it reads, so that a reader of the file sees what it does.
    EXPECT_EQ(insertText(cases[0].insert, Dialect::Sqlite),
              "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC], [NOTA], [DATO], [A]]B]) SELECT 3000000001, N'fcc', "
              "N'x''; DELETE FROM V_MV_Stock; --', X'01', NULL WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE "
              "[IDMOVIMIENTO] = 3000000001 AND [TC] = N'fcc' COLLATE BINARY AND [NOTA] = N'x''; DELETE FROM "
              "V_MV_Stock; --' COLLATE BINARY AND [DATO] = X'01' AND [A]]B] IS NULL);");
    const Insert trailing{{"[TC]"}, {textLiteral("fcc ")}, {Comparison::Bin2Length}, 1};
    EXPECT_EQ(insertText(trailing, Dialect::SqlServer),
              "INSERT INTO V_MV_Stock ([TC]) SELECT N'fcc ' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [TC] = "
              "N'fcc ' COLLATE Latin1_General_BIN2 AND DATALENGTH(CAST([TC] AS nvarchar(max))) = DATALENGTH(N'fcc '));");
}

// Lines a doctored journal could carry: each one is refused, whatever it would have run.
TEST(JournalFormat, LinesThatAreNotTheWritersStatementsAreRefused) {
    const QString good = "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT 1, N'fcc' WHERE NOT EXISTS (SELECT 1 FROM "
                         "V_MV_Stock WHERE [IDMOVIMIENTO] = 1 AND [TC] = N'fcc' COLLATE BINARY);";
    ASSERT_TRUE(parseInsert(good, Dialect::Sqlite));
    const struct {
        const char* name;
        QString line;
        Dialect dialect;
    } cases[] = {
        {"upsert",
         "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT IDMOVIMIENTO, TC FROM V_MV_Stock WHERE true ON "
         "CONFLICT([IDMOVIMIENTO]) DO UPDATE SET [CANTIDAD] = 0;",
         Dialect::Sqlite},
        {"no guard", "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT 1, N'fcc';", Dialect::Sqlite},
        {"a guard that always holds",
         "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT 1, N'fcc' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE 1 = 0);",
         Dialect::Sqlite},
        {"a guard of other values",
         "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT 1, N'fcc' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE "
         "[IDMOVIMIENTO] = 2 AND [TC] = N'fcc' COLLATE BINARY);",
         Dialect::Sqlite},
        {"a batch of two statements without ;",
         "INSERT INTO V_MV_Stock ([TC]) SELECT N'fcc' WHERE 1 = 0 DROP TABLE C_MV_Cpte;", Dialect::SqlServer},
        {"exec", "INSERT INTO V_MV_Stock ([TC]) EXEC (N'DELETE FROM TA_CONFIGURACION');", Dialect::SqlServer},
        {"a ; behind a quote in a comment",
         "INSERT INTO V_MV_Stock ([TC]) SELECT 1 /*'*/; DELETE FROM TA_CONFIGURACION; /*'*/;", Dialect::SqlServer},
        {"a second statement", good + " DELETE FROM TA_CONFIGURACION;", Dialect::Sqlite},
        {"a comment after it", good + " -- ok", Dialect::Sqlite},
        {"a statement out of a literal",
         "INSERT INTO V_MV_Stock ([TC]) SELECT N'x'); DELETE FROM C_MV_Cpte; --' WHERE NOT EXISTS (SELECT 1 FROM "
         "V_MV_Stock WHERE [TC] = N'x'); DELETE FROM C_MV_Cpte; --' COLLATE BINARY);",
         Dialect::Sqlite},
        {"another table",
         "INSERT INTO C_MV_Cpte ([TC]) SELECT N'fcc' WHERE NOT EXISTS (SELECT 1 FROM C_MV_Cpte WHERE [TC] = N'fcc' "
         "COLLATE BINARY);",
         Dialect::Sqlite},
        {"an expression for a value",
         "INSERT INTO V_MV_Stock ([TC]) SELECT lower(N'FCC') WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [TC] = "
         "lower(N'FCC') COLLATE BINARY);",
         Dialect::Sqlite},
        {"a subquery for a value",
         "INSERT INTO V_MV_Stock ([TC]) SELECT (SELECT VALOR FROM TA_CONFIGURACION) WHERE NOT EXISTS (SELECT 1 FROM "
         "V_MV_Stock WHERE [TC] = (SELECT VALOR FROM TA_CONFIGURACION));",
         Dialect::Sqlite},
        {"more values than columns",
         "INSERT INTO V_MV_Stock ([TC]) SELECT N'a', N'b' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [TC] = N'a' "
         "COLLATE BINARY);",
         Dialect::Sqlite},
        {"a text that is not the writer's form",
         "INSERT INTO V_MV_Stock ([TC]) SELECT (N'a' || N'b') WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [TC] = "
         "(N'a' || N'b') COLLATE BINARY);",
         Dialect::Sqlite},
        {"SQLite's forms in a SQL Server journal", good, Dialect::SqlServer},
        {"a count guard of one",
         "INSERT INTO V_MV_Stock ([TC]) SELECT N'a' WHERE (SELECT COUNT(*) FROM V_MV_Stock WHERE [TC] = N'a' COLLATE "
         "BINARY) < 1;",
         Dialect::Sqlite},
        {"lower case hex", "INSERT INTO V_MV_Stock ([D]) SELECT X'ab' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [D] = X'ab');",
         Dialect::Sqlite},
        {"an unclosed name", "INSERT INTO V_MV_Stock ([TC) SELECT 1;", Dialect::Sqlite},
        {"nothing after the table", "INSERT INTO V_MV_Stock (", Dialect::Sqlite},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        EXPECT_FALSE(parseInsert(c.line, c.dialect, &why).has_value());
        EXPECT_FALSE(why.isEmpty());
    }
}
