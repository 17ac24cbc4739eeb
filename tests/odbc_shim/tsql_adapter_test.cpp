// How the test driver reads a T-SQL text: where its statements end, which SETs it answers
// itself, what an INSERT names, and which texts it refuses as SQL Server would.
#include "tsql_adapter.h"

#include <gtest/gtest.h>

#include <sstream>

using odbcshim::Batch;
using odbcshim::readBatch;
using odbcshim::Statement;

namespace {

// A batch as one line a statement: "sql: <text>", "insert <table> (<columns>): <text>",
// "identity_insert <table> on|off", "option on|off"; "?" marks parameters.
std::string describe(const Batch& batch) {
    std::ostringstream out;
    for (const Statement& s : batch.statements) {
        switch (s.kind) {
        case Statement::Kind::SessionOption: out << "option " << (s.on ? "on" : "off"); break;
        case Statement::Kind::IdentityInsert: out << "identity_insert " << s.table << (s.on ? " on" : " off"); break;
        case Statement::Kind::Sql:
            if (s.insert) {
                out << "insert " << s.table << " (";
                for (size_t i = 0; i < s.insertColumns.size(); ++i) out << (i ? "," : "") << s.insertColumns[i];
                out << ")";
            } else {
                out << "sql";
            }
            out << (s.hasParameters ? "?" : "") << ": " << s.sqlite;
            break;
        }
        out << "\n";
    }
    return out.str();
}

}  // namespace

TEST(TsqlBatch, EndsStatementsAtSemicolonsAndSessionSetsAndReadsWhatInsertsName) {
    const struct {
        const char* tsql;
        const char* batch;
    } cases[] = {
        // T-SQL needs no ';' before a SET; a ';' inside a literal ends nothing.
        {"SET IDENTITY_INSERT [dbo].[V_MV_Stock] ON\nINSERT INTO V_MV_Stock ([ID], T) VALUES (1, N'a;b')\n"
         "SET IDENTITY_INSERT V_MV_Stock OFF",
         "identity_insert V_MV_Stock on\ninsert V_MV_Stock (ID,T): INSERT INTO V_MV_Stock ([ID], T) VALUES (1, 'a;b')\n"
         "identity_insert V_MV_Stock off\n"},
        {"SET NOCOUNT ON; SELECT 1;; SELECT 2;", "option on\nsql: SELECT 1\nsql: SELECT 2\n"},
        {"set ansi_nulls, quoted_identifier off", "option off\n"},
        // UPDATE's SET is no session SET; XACT_ABORT changes what errors do, so SQLite must see it.
        {"UPDATE T SET NOCOUNTED = ? WHERE [SET] = 1", "sql?: UPDATE T SET NOCOUNTED = ? WHERE [SET] = 1\n"},
        {"SET XACT_ABORT ON", "sql: SET XACT_ABORT ON\n"},
        {"INSERT T (\"A\", [B]]x]) SELECT 1, 2 WHERE '?' = ''", "insert T (A,B]x): INSERT INTO T (\"A\", \"B]x\") SELECT 1, 2 WHERE '?' = ''\n"},
        {"INSERT INTO db.dbo.T VALUES (1)", "insert T (): INSERT INTO db.dbo.T VALUES (1)\n"},
        {" ;\n; -- nothing\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tsql);
        const Batch batch = readBatch(c.tsql);
        EXPECT_FALSE(batch.error);
        EXPECT_EQ(describe(batch), c.batch);
    }
}

TEST(TsqlBatch, RefusesTextsHoldingTheBatchSeparatorGoAsTheServerWould) {
    const struct {
        const char* tsql;
        bool refused;
    } cases[] = {
        {"SELECT 1\nGO", true},
        {"go", true},
        {"SELECT 1\r\n  Go 2 -- twice\r\nSELECT 2", true},
        {"SELECT 'a\nGO\n'", false},   // inside a literal
        {"/*\nGO\n*/ SELECT 1", false},  // inside a comment
        {"SELECT 1 AS GO", false},
        {"SELECT 1\nGOTO x", false},
        {"SELECT [GO]\nFROM T", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tsql);
        const Batch batch = readBatch(c.tsql);
        ASSERT_EQ(bool(batch.error), c.refused);
        if (c.refused) {
            EXPECT_EQ(batch.error->native, 102);
            EXPECT_EQ(batch.error->sqlState, "42000");
            EXPECT_EQ(batch.error->message, "Incorrect syntax near 'GO'.");
            EXPECT_TRUE(batch.statements.empty());
        }
    }
}
