// The journal's one definition: values written exactly for each engine, every statement
// read back into the values it holds and rebuilt to the same bytes, and every line a
// doctored journal could carry refused.
#include "correction/columnas_diario.h"
#include "correction/formato_diario.h"
#include "correction/reposicion_diario.h"
#include "platform/runtime_error.h"
#include "support/expect_runtime_error.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace correction;
using namespace correction::diario;
using testsupport::expectRuntimeError;

namespace {

Literal typed(const QString& type, const QByteArray& bytes) { return {Literal::Clase::BinarioConTipo, type, bytes}; }

}  // namespace

TEST(JournalFormat, ValuesAreWrittenExactlyForEachEngineAndReadBack) {
    const QString longText = QString(4000, u'a') + u'\n' + QString(10, u'b');
    const struct {
        Literal literal;
        QString sqlServer;
        QString sqlite;
    } cases[] = {
        {literalNulo(), "NULL", "NULL"},
        {literalTexto("O'Brien"), "N'O''Brien'", "N'O''Brien'"},
        {literalTexto(""), "N''", "N''"},
        {literalTexto("a\nGO\r"), "(N'a' + NCHAR(10) + N'GO' + NCHAR(13))", "(N'a' || char(10) || N'GO' || char(13))"},
        {literalTexto("\t"), "NCHAR(9)", "char(9)"},
        {literalTexto(QString("antes") + QChar(0) + "después"), "(N'antes' + NCHAR(0) + N'después')",
         "(N'antes' || char(0) || N'después')"},
        {literalTexto("ñandú € 😀"), "N'ñandú € 😀'", "N'ñandú € 😀'"},
        {literalTexto(QString(4001, u'x')), "CAST(N'" + QString(4001, u'x') + "' AS nvarchar(max))",
         "N'" + QString(4001, u'x') + "'"},
        {literalTexto(longText), "(CAST(N'" + QString(4000, u'a') + "' AS nvarchar(max)) + NCHAR(10) + N'bbbbbbbbbb')",
         "(N'" + QString(4000, u'a') + "' || char(10) || N'bbbbbbbbbb')"},
        {literalNumero("-9007199254740993"), "-9007199254740993", "-9007199254740993"},
        {literalNumero("12345678901234567890123456.7890123456"), "12345678901234567890123456.7890123456",
         "12345678901234567890123456.7890123456"},
        {literalNumero("1.0e+20"), "1.0e+20", "1.0e+20"},
        {literalBinario(QByteArray("\x00\xff", 2)), "0x00FF", "X'00FF'"},
        {typed("geography", QByteArray("\xe6\x10", 2)), "CAST(0xE610 AS geography)", ""},
        {Literal{Literal::Clase::TextoHex, {}, QByteArray("a\0b", 3)}, "", "CAST(X'610062' AS TEXT)"},
    };
    for (const auto& c : cases) {
        for (const Dialecto d : {Dialecto::SqlServer, Dialecto::Sqlite}) {
            const QString& expected = d == Dialecto::SqlServer ? c.sqlServer : c.sqlite;
            if (expected.isEmpty()) continue;  // a form of the other engine only
            SCOPED_TRACE(expected.left(60).toStdString());
            EXPECT_EQ(textoDeLiteral(c.literal, d), expected);
            EXPECT_EQ(leerLiteral(expected, d), c.literal);
        }
    }
    // A value by its own type, as a row read from SQLite gives it.
    EXPECT_EQ(textoDeLiteral(literalDeValor(QVariant(0.1 + 0.2)), Dialecto::Sqlite), "0.30000000000000004");
    EXPECT_EQ(textoDeLiteral(literalDeValor(QVariant(3.0)), Dialecto::Sqlite), "3.0");
    EXPECT_EQ(textoDeLiteral(literalDeValor(QVariant(-1e20)), Dialecto::Sqlite), "-1e+20");
    EXPECT_EQ(textoDeLiteral(literalDeValor(QVariant(true)), Dialecto::Sqlite), "1");
    EXPECT_EQ(textoDeLiteral(literalDeValor(QVariant(qlonglong(3000000001))), Dialecto::Sqlite), "3000000001");
    EXPECT_EQ(textoComentario("a\nb\rc"), "a b c");
}

TEST(JournalFormat, EveryStatementIsReadBackIntoItsValuesAndRebuiltToTheSameBytes) {
    const QStringList cols = {"[IDMOVIMIENTO]", "[TC]", "[NOTA]", "[DATO]", "[A]]B]"};
    const struct {
        Dialecto dialect;
        Insercion insert;
    } cases[] = {
        {Dialecto::Sqlite,
         {cols,
          {literalNumero("3000000001"), literalTexto("fcc"), literalTexto("x'; DELETE FROM V_MV_Stock; --"),
           literalBinario("\x01"), literalNulo()},
          {Comparacion::Simple, Comparacion::Binaria, Comparacion::Binaria, Comparacion::Simple, Comparacion::EsNulo},
          1}},
        {Dialecto::Sqlite,
         {cols,
          {literalNumero("7"), literalTexto("a\nb"), Literal{Literal::Clase::TextoHex, {}, "z"}, literalNulo(),
           literalNumero("7.5")},
          {Comparacion::Simple, Comparacion::Binaria, Comparacion::Binaria, Comparacion::EsNulo, Comparacion::Binaria},
          3}},
        {Dialecto::SqlServer,
         {cols,
          {literalNumero("5"), literalTexto("fcc "), literalTexto(QString(5000, u'y') + "\n"), typed("geometry", "\x01\x02"),
           literalTexto("2003-02-17T10:15:00.1234567-03:00")},
          {Comparacion::Simple, Comparacion::Bin2Longitud, Comparacion::TextoLargoLongitud, Comparacion::BinarioConvertidoLongitud,
           Comparacion::TextoIso},
          1}},
        {Dialecto::SqlServer,
         {cols,
          {literalNumero("-0.0000000001"), literalTexto("b"), literalTexto("c"), literalBinario(QByteArray(1, 0)),
           literalBinario("")},
          {Comparacion::Simple, Comparacion::Bin2, Comparacion::TextoLargo, Comparacion::BinarioLargo, Comparacion::BinarioLongitud},
          2}},
    };
    for (const auto& c : cases) {
        const QString text = textoInsercion(c.insert, c.dialect);
        SCOPED_TRACE(text.left(200).toStdString());
        QString why;
        const auto back = leerInsercion(text, c.dialect, &why);
        ASSERT_TRUE(back.has_value()) << why.toStdString();
        EXPECT_EQ(*back, c.insert);
        EXPECT_EQ(textoInsercion(*back, c.dialect), text);
    }
    // The guard as it reads, so that a reader of the file sees what it does.
    EXPECT_EQ(textoInsercion(cases[0].insert, Dialecto::Sqlite),
              "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC], [NOTA], [DATO], [A]]B]) SELECT 3000000001, N'fcc', "
              "N'x''; DELETE FROM V_MV_Stock; --', X'01', NULL WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE "
              "[IDMOVIMIENTO] = 3000000001 AND [TC] = N'fcc' COLLATE BINARY AND [NOTA] = N'x''; DELETE FROM "
              "V_MV_Stock; --' COLLATE BINARY AND [DATO] = X'01' AND [A]]B] IS NULL);");
    const Insercion trailing{{"[TC]"}, {literalTexto("fcc ")}, {Comparacion::Bin2Longitud}, 1};
    EXPECT_EQ(textoInsercion(trailing, Dialecto::SqlServer),
              "INSERT INTO V_MV_Stock ([TC]) SELECT N'fcc ' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [TC] = "
              "N'fcc ' COLLATE Latin1_General_BIN2 AND DATALENGTH(CAST([TC] AS nvarchar(max))) = DATALENGTH(N'fcc '));");
}

// Lines a doctored journal could carry: each one is refused, whatever it would have run.
TEST(JournalFormat, LinesThatAreNotTheWritersStatementsAreRefused) {
    const QString good = "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT 1, N'fcc' WHERE NOT EXISTS (SELECT 1 FROM "
                         "V_MV_Stock WHERE [IDMOVIMIENTO] = 1 AND [TC] = N'fcc' COLLATE BINARY);";
    ASSERT_TRUE(leerInsercion(good, Dialecto::Sqlite));
    const struct {
        const char* name;
        QString line;
        Dialecto dialect;
    } cases[] = {
        {"upsert",
         "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT IDMOVIMIENTO, TC FROM V_MV_Stock WHERE true ON "
         "CONFLICT([IDMOVIMIENTO]) DO UPDATE SET [CANTIDAD] = 0;",
         Dialecto::Sqlite},
        {"no guard", "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT 1, N'fcc';", Dialecto::Sqlite},
        {"a guard that always holds",
         "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT 1, N'fcc' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE 1 = 0);",
         Dialecto::Sqlite},
        {"a guard of other values",
         "INSERT INTO V_MV_Stock ([IDMOVIMIENTO], [TC]) SELECT 1, N'fcc' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE "
         "[IDMOVIMIENTO] = 2 AND [TC] = N'fcc' COLLATE BINARY);",
         Dialecto::Sqlite},
        {"a batch of two statements without ;",
         "INSERT INTO V_MV_Stock ([TC]) SELECT N'fcc' WHERE 1 = 0 DROP TABLE C_MV_Cpte;", Dialecto::SqlServer},
        {"exec", "INSERT INTO V_MV_Stock ([TC]) EXEC (N'DELETE FROM TA_CONFIGURACION');", Dialecto::SqlServer},
        {"a ; behind a quote in a comment",
         "INSERT INTO V_MV_Stock ([TC]) SELECT 1 /*'*/; DELETE FROM TA_CONFIGURACION; /*'*/;", Dialecto::SqlServer},
        {"a second statement", good + " DELETE FROM TA_CONFIGURACION;", Dialecto::Sqlite},
        {"a comment after it", good + " -- ok", Dialecto::Sqlite},
        {"a statement out of a literal",
         "INSERT INTO V_MV_Stock ([TC]) SELECT N'x'); DELETE FROM C_MV_Cpte; --' WHERE NOT EXISTS (SELECT 1 FROM "
         "V_MV_Stock WHERE [TC] = N'x'); DELETE FROM C_MV_Cpte; --' COLLATE BINARY);",
         Dialecto::Sqlite},
        {"another table",
         "INSERT INTO C_MV_Cpte ([TC]) SELECT N'fcc' WHERE NOT EXISTS (SELECT 1 FROM C_MV_Cpte WHERE [TC] = N'fcc' "
         "COLLATE BINARY);",
         Dialecto::Sqlite},
        {"an expression for a value",
         "INSERT INTO V_MV_Stock ([TC]) SELECT lower(N'FCC') WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [TC] = "
         "lower(N'FCC') COLLATE BINARY);",
         Dialecto::Sqlite},
        {"a subquery for a value",
         "INSERT INTO V_MV_Stock ([TC]) SELECT (SELECT VALOR FROM TA_CONFIGURACION) WHERE NOT EXISTS (SELECT 1 FROM "
         "V_MV_Stock WHERE [TC] = (SELECT VALOR FROM TA_CONFIGURACION));",
         Dialecto::Sqlite},
        {"more values than columns",
         "INSERT INTO V_MV_Stock ([TC]) SELECT N'a', N'b' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [TC] = N'a' "
         "COLLATE BINARY);",
         Dialecto::Sqlite},
        {"a text that is not the writer's form",
         "INSERT INTO V_MV_Stock ([TC]) SELECT (N'a' || N'b') WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [TC] = "
         "(N'a' || N'b') COLLATE BINARY);",
         Dialecto::Sqlite},
        {"SQLite's forms in a SQL Server journal", good, Dialecto::SqlServer},
        {"a count guard of one",
         "INSERT INTO V_MV_Stock ([TC]) SELECT N'a' WHERE (SELECT COUNT(*) FROM V_MV_Stock WHERE [TC] = N'a' COLLATE "
         "BINARY) < 1;",
         Dialecto::Sqlite},
        {"lower case hex", "INSERT INTO V_MV_Stock ([D]) SELECT X'ab' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [D] = X'ab');",
         Dialecto::Sqlite},
        {"an unclosed name", "INSERT INTO V_MV_Stock ([TC) SELECT 1;", Dialecto::Sqlite},
        {"nothing after the table", "INSERT INTO V_MV_Stock (", Dialecto::Sqlite},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        EXPECT_FALSE(leerInsercion(c.line, c.dialect, &why).has_value());
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
        const auto column = columnaSqlServer(QStringLiteral("C"), QString::fromLatin1(c.type).toUpper(), c.kind == kIdentity,
                                            c.kind == kComputed);
        if (!c.expression) {
            EXPECT_FALSE(column.has_value());  // the engine writes it: out of the insert and the guard
            continue;
        }
        ASSERT_TRUE(column.has_value());
        EXPECT_EQ(column->identidad, c.kind == kIdentity);
        EXPECT_EQ(column->expresionLectura(), QString::fromLatin1(c.expression));
        const Literal value = column->literal(c.read);
        EXPECT_EQ(textoDeLiteral(value, Dialecto::SqlServer), c.literal);
        const Insercion row{{column->entreCorchetes()}, {value}, {column->comparacion(value)}, 1};
        const QString text = textoInsercion(row, Dialecto::SqlServer);
        if (!c.condition.isEmpty()) {
            EXPECT_TRUE(text.endsWith(QStringLiteral("WHERE ") + c.condition + QStringLiteral(");"))) << text.toStdString();
        }
        EXPECT_EQ(leerInsercion(text, Dialecto::SqlServer), row);
        EXPECT_EQ(column->literal(QVariant()), literalNulo());
    }
    // Values that cannot go back exactly stop the run before anything is deleted.
    expectRuntimeError(platform::kDatabaseError,
                       [] { columnaSqlServer(QStringLiteral("V"), QStringLiteral("sql_variant"), false, false); });
    expectRuntimeError(platform::kDatabaseError, [] {
        columnaSqlServer(QStringLiteral("F"), QStringLiteral("datetime2"), false, false)->literal(QStringLiteral(""));
    });
    expectRuntimeError(platform::kDatabaseError, [] {
        columnaSqlServer(QStringLiteral("D"), QStringLiteral("decimal"), false, false)->literal(QStringLiteral("1,5"));
    });
}

// Journals the version of before wrote keep restoring: a text past 4000 characters as one
// plain N'...' (run again as nvarchar(max)), and a run appended right after a torn line.
TEST(JournalFormat, JournalsOfBeforeAreReadAsTheyWereWritten) {
    const QString text(4500, u'z');
    const QString plain = "INSERT INTO V_MV_Stock ([N]) SELECT N'" + text + "' WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [N] = N'" +
                          text + "' COLLATE Latin1_General_BIN2);";
    const auto row = leerInsercion(plain, Dialecto::SqlServer);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->valores.front(), literalTexto(text));
    EXPECT_TRUE(textoInsercion(*row, Dialecto::SqlServer).contains("SELECT CAST(N'" + text + "' AS nvarchar(max)) WHERE"));

    const QByteArray run = "-- stockfix: diario de borrado de V_MV_Stock\n-- Motor: SQLite\nSET NOCOUNT ON;\nGO\n"
                           "-- Comprobante TC = N'fcc', IDCOMPROBANTE = N'1': 1 filas\n"
                           "INSERT INTO V_MV_Stock ([A]) SELECT 1 WHERE NOT EXISTS (SELECT 1 FROM V_MV_Stock WHERE [A] = 1);\n"
                           "GO\n-- Fin de la corrida: 1 comprobantes, 1 filas.\nGO\n";
    const QByteArray glued = run.left(run.indexOf("INSERT") + 50) + run;  // the old writer's next run, on the torn line
    const GuionDiario script = LeerDiarioDeBytes(QStringLiteral("viejo.sql"), glued);
    ASSERT_EQ(script.sentencias.size(), 1u);
    EXPECT_EQ(script.sentencias.front().linea, 11);  // the second run's, after the glued line
    EXPECT_TRUE(script.sentencias.front().confirmada);
    EXPECT_TRUE(script.aviso.contains(QStringLiteral("quedó cortada"))) << script.aviso.toStdString();
}
