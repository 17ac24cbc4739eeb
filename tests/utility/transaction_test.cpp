#include "platform/runtime_error.h"
#include "support/child_process.h"
#include "support/test_env.h"
#include "utility/data_access.h"
#include "utility/transaction.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using testsupport::ProgramTest;
using utility::DataAccess;

namespace {

class TransactionTest : public ProgramTest {};

}  // namespace

// Every way out of a transaction's scope: committed rows stay, anything else is rolled
// back, and a rollback that fails (the engine gave the transaction up, or the file is gone)
// never escapes the guard.
TEST_F(TransactionTest, RolledBackOnEveryWayOutUnlessCommitted) {
    const struct {
        const char* name;
        std::function<void(DataAccess&, utility::Transaction&)> inside;  // after one deletion
        bool raises;
        QStringList left;  // rows afterwards; empty: not read (the file is gone)
    } cases[] = {
        {.name = "commit", .inside = [](DataAccess&, utility::Transaction& t) { t.commit(); }, .raises = false, .left = {"1"}},
        {.name = "no commit", .inside = [](DataAccess&, utility::Transaction&) {}, .raises = false, .left = {"2"}},
        {.name = "exception",
         .inside = [](DataAccess&, utility::Transaction&) { throw std::runtime_error("fallo"); },
         .raises = true,
         .left = {"2"}},
        {.name = "engine rolled back already",
         .inside = [](DataAccess& da, utility::Transaction&) { da.ExecuteSql(QStringLiteral("ROLLBACK")); },
         .raises = false,
         .left = {"2"}},
        {.name = "rollback fails during an exception",
         .inside =
             [](DataAccess& da, utility::Transaction&) {
                 da.ExecuteSql(QStringLiteral("ROLLBACK"));
                 throw platform::RuntimeError::of(platform::kDatabaseError);
             },
         .raises = true,
         .left = {"2"}},
        // Where the platform refuses to remove an open database, the guard rolls back as usual.
        {.name = "file removed",
         .inside =
             [](DataAccess& da, utility::Transaction&) {
                 EXPECT_EQ(QFile::remove(da.DatabaseName()), testsupport::kOpenFilesCanBeRemoved);
             },
         .raises = false,
         .left = testsupport::kOpenFilesCanBeRemoved ? QStringList{} : QStringList{QStringLiteral("2")}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = makeDatabase(QStringLiteral("t%1.sqlite").arg(++n),
                                          {QStringLiteral("CREATE TABLE T (ID INT)"), QStringLiteral("INSERT INTO T VALUES (1)"),
                                           QStringLiteral("INSERT INTO T VALUES (2)")});
        DataAccess da;
        da.setServer(QStringLiteral("sqlite"));
        da.setDatabaseName(file);
        da.OpenSession(0, 3);
        ASSERT_TRUE(da.IsOpen()) << da.lastOpenError().toStdString();
        bool raised = false;
        try {
            utility::Transaction t(da);
            da.ExecuteSql(QStringLiteral("DELETE T WHERE ID = 1"));
            c.inside(da, t);
        } catch (const std::exception&) {
            raised = true;
        }
        EXPECT_EQ(raised, c.raises);
        if (c.left.isEmpty()) continue;
        // The session goes on: no transaction is left open behind the guard.
        EXPECT_NO_THROW(da.ExecuteSql(QStringLiteral("BEGIN IMMEDIATE")));
        EXPECT_NO_THROW(da.ExecuteSql(QStringLiteral("ROLLBACK")));
        da.CloseSession();
        EXPECT_EQ(testsupport::queryColumn(file, QStringLiteral("SELECT count(*) FROM T")), c.left);
    }
}
