// The journal's one definition: values written exactly for each engine, every statement
// read back into the values it holds and rebuilt to the same bytes, and every line a
// doctored journal could carry refused.
#include "correction/journal_columns.h"
#include "correction/journal_format.h"
#include "correction/journal_restore.h"
#include "platform/runtime_error.h"
#include "support/expect_runtime_error.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace correction;
using namespace correction::journal;
using testsupport::expectRuntimeError;

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

// SQL Server's columns as sys.columns describes them: what the run reads for each, the
// literal it writes for a value so read, and how the guard compares it.
TEST(JournalFormat, SqlServerColumnsTravelExactly) {
    const QString longText = QString(4100, u'x') + QStringLiteral("\r\n") + QString(30, u'y');
    enum Kind { kStored, kIdentity, kComputed };
    const struct {
        const char* type;
        Kind kind;
        QVariant read;  // what the driver hands over for the read expression
        const char* expression;
        QString literal;
        QString condition;
    } cases[] = {
        {"rowversion", kStored, {}, nullptr, {}, {}},
        {"timestamp", kStored, {}, nullptr, {}, {}},
        {"int", kComputed, {}, nullptr, {}, {}},
        {"int", kIdentity, 42, "[C]", "42", "[C] = 42"},
        {"bigint", kStored, qlonglong(-9007199254740993LL), "[C]", "-9007199254740993", "[C] = -9007199254740993"},
        {"float", kStored, 0.1 + 0.2, "[C]", "0.30000000000000004", "[C] = 0.30000000000000004"},
        {"decimal", kStored, QStringLiteral("1234567890123456789012345678.0123456789"), "CAST([C] AS varchar(60)) AS [C]",
         "1234567890123456789012345678.0123456789", "[C] = 1234567890123456789012345678.0123456789"},
        {"money", kStored, QStringLiteral("-922337203685477.5808"),
         "CAST(CAST([C] AS decimal(19, 4)) AS varchar(60)) AS [C]", "-922337203685477.5808", "[C] = -922337203685477.5808"},
        {"datetime2", kStored, QStringLiteral("2003-02-17T10:15:00.1234567"), "CONVERT(nvarchar(40), [C], 126) AS [C]",
         "N'2003-02-17T10:15:00.1234567'", "[C] = N'2003-02-17T10:15:00.1234567'"},
        // In Buenos Aires' daylight-saving gap: text all the way, no client clock involved.
        {"datetime", kStored, QStringLiteral("2008-10-19T00:00:00"), "CONVERT(nvarchar(40), [C], 126) AS [C]",
         "N'2008-10-19T00:00:00'", "[C] = N'2008-10-19T00:00:00'"},
        {"time", kStored, QStringLiteral("23:59:59.9999999"), "CONVERT(nvarchar(40), [C], 126) AS [C]",
         "N'23:59:59.9999999'", "[C] = N'23:59:59.9999999'"},
        {"datetimeoffset", kStored, QStringLiteral("2003-03-30T02:30:00.1234567+02:00"),
         "CONVERT(nvarchar(40), [C], 126) AS [C]", "N'2003-03-30T02:30:00.1234567+02:00'",
         "CONVERT(nvarchar(40), [C], 126) = N'2003-03-30T02:30:00.1234567+02:00'"},
        {"nchar", kStored, QStringLiteral("fcc  "), "[C]", "N'fcc  '",
         "[C] = N'fcc  ' COLLATE Latin1_General_BIN2 AND DATALENGTH(CAST([C] AS nvarchar(max))) = DATALENGTH(N'fcc  ')"},
        {"nvarchar", kStored, longText, "[C]",
         "(CAST(N'" + QString(4100, u'x') + "' AS nvarchar(max)) + NCHAR(13) + NCHAR(10) + N'" + QString(30, u'y') + "')", {}},
        {"xml", kStored, QStringLiteral("<a b=\"1\"/>"), "CONVERT(nvarchar(max), [C]) AS [C]", "N'<a b=\"1\"/>'",
         "CAST([C] AS nvarchar(max)) = N'<a b=\"1\"/>' COLLATE Latin1_General_BIN2 AND DATALENGTH(CAST([C] AS "
         "nvarchar(max))) = DATALENGTH(N'<a b=\"1\"/>')"},
        {"geography", kStored, QByteArray("\xe6\x10\x00\x00\x01\x0c", 6), "CAST([C] AS varbinary(max)) AS [C]",
         "CAST(0xE61000000" "10C AS geography)",
         "CAST([C] AS varbinary(max)) = 0xE6100000010C AND DATALENGTH(CAST([C] AS varbinary(max))) = DATALENGTH(0xE6100000010C)"},
        {"varbinary", kStored, QByteArray("\x01\x00", 2), "[C]", "0x0100", "[C] = 0x0100 AND DATALENGTH([C]) = DATALENGTH(0x0100)"},
        {"uniqueidentifier", kStored, QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF"),
         "CONVERT(nvarchar(36), [C]) AS [C]", "N'6F9619FF-8B86-D011-B42D-00C04FC964FF'",
         "[C] = N'6F9619FF-8B86-D011-B42D-00C04FC964FF'"},
        {"bit", kStored, true, "[C]", "1", "[C] = 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const auto column = sqlServerColumn(QStringLiteral("C"), QString::fromLatin1(c.type).toUpper(), c.kind == kIdentity,
                                            c.kind == kComputed);
        if (!c.expression) {
            EXPECT_FALSE(column.has_value());  // the engine writes it: out of the insert and the guard
            continue;
        }
        ASSERT_TRUE(column.has_value());
        EXPECT_EQ(column->identity, c.kind == kIdentity);
        EXPECT_EQ(column->readExpression(), QString::fromLatin1(c.expression));
        const Literal value = column->literal(c.read);
        EXPECT_EQ(literalText(value, Dialect::SqlServer), c.literal);
        const Insert row{{column->quoted()}, {value}, {column->comparison(value)}, 1};
        const QString text = insertText(row, Dialect::SqlServer);
        if (!c.condition.isEmpty()) {
            EXPECT_TRUE(text.endsWith(QStringLiteral("WHERE ") + c.condition + QStringLiteral(");"))) << text.toStdString();
        }
        EXPECT_EQ(parseInsert(text, Dialect::SqlServer), row);
        EXPECT_EQ(column->literal(QVariant()), nullLiteral());
    }
    // Values that cannot go back exactly stop the run before anything is deleted.
    expectRuntimeError(platform::kDatabaseError,
                       [] { sqlServerColumn(QStringLiteral("V"), QStringLiteral("sql_variant"), false, false); });
    expectRuntimeError(platform::kDatabaseError, [] {
        sqlServerColumn(QStringLiteral("F"), QStringLiteral("datetime2"), false, false)->literal(QStringLiteral(""));
    });
    expectRuntimeError(platform::kDatabaseError, [] {
        sqlServerColumn(QStringLiteral("D"), QStringLiteral("decimal"), false, false)->literal(QStringLiteral("1,5"));
    });
}

// Journals the version of before wrote keep restoring: a text past 4000 characters as one
// plain N'...' (run again as nvarchar(max)), and a run appended right after a torn line.
TEST(JournalFormat, JournalsOfBeforeAreReadAsTheyWereWritten) {
    const QString text(4500, u'z');
    const QString plain = "INSERT INTO V_MV_Stock ([N]) SELECT N'" + text + "' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [N] = N'" +
                          text + "' COLLATE Latin1_General_BIN2);";
    const auto row = parseInsert(plain, Dialect::SqlServer);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->values.front(), textLiteral(text));
    EXPECT_TRUE(insertText(*row, Dialect::SqlServer).contains("SELECT CAST(N'" + text + "' AS nvarchar(max)) WHERE"));

    const QByteArray run = "-- stockfix: diario de borrado de V_MV_Stock\n-- Motor: SQLite\nSET NOCOUNT ON;\nGO\n"
                           "-- Comprobante TC = N'fcc', IDCOMPROBANTE = N'1': 1 filas\n"
                           "INSERT INTO V_MV_Stock ([A]) SELECT 1 WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [A] = 1);\n"
                           "GO\n-- Fin de la corrida: 1 comprobantes, 1 filas.\nGO\n";
    const QByteArray glued = run.left(run.indexOf("INSERT") + 50) + run;  // the old writer's next run, on the torn line
    const JournalScript script = LeerDiarioDeBytes(QStringLiteral("viejo.sql"), glued);
    ASSERT_EQ(script.statements.size(), 1u);
    EXPECT_EQ(script.statements.front().line, 11);  // the second run's, after the glued line
    EXPECT_TRUE(script.statements.front().confirmed);
    EXPECT_TRUE(script.warning.contains(QStringLiteral("quedó cortada"))) << script.warning.toStdString();
}
