// The stockfix program itself, run as a user runs it, without a display.
#include "program_run.h"

#include <cstdio>

using testsupport::queryColumn;

using testsupport::Outcome;

namespace {

Outcome stockfix(const QStringList& args) { return testsupport::runStockfix(args); }

class Batch : public testsupport::DemoDatabaseTest {
protected:
    QString keys(const QString& file) { return QStringLiteral("@Server=sqlite; @DbName=%1; @Password=pw-9876;").arg(file); }
    int stockRows() { return queryColumn(db, QStringLiteral("SELECT count(*) FROM V_MV_Stock")).front().toInt(); }
};

}  // namespace

TEST_F(Batch, RunsTheCorrectionPrintingEachStatusThenFinishes) {
    const int before = stockRows();
    Outcome dry = stockfix({QStringLiteral("--batch"), QStringLiteral("--dry-run"), keys(db)});
    EXPECT_EQ(dry.status, 0) << dry.err.toStdString();
    EXPECT_TRUE(dry.out.contains(QStringLiteral("fcc 0001-0000'049\t3 filas de stock")));
    EXPECT_EQ(stockRows(), before);  // a dry run deletes nothing

    Outcome run = stockfix({QStringLiteral("--batch"), keys(db)});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines.front(), QStringLiteral("Buscando Datos"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Corrigiendo... fcc0001-00000042")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Corrigiendo... FCC0001-00000046")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Corrigiendo... fcc0001-0000'049")));
    EXPECT_FALSE(lines.contains(QStringLiteral("Corrigiendo... fcc0001-00000043")));  // has its account
    EXPECT_FALSE(lines.contains(QStringLiteral("Corrigiendo... fcv0001-00000047")));  // another type
    EXPECT_EQ(lines.back(), QStringLiteral("Proceso Finalizado!"));
    EXPECT_EQ(lines.size() - 2, dry.out.count(u'\n') - 1);  // one line per voucher the dry run listed
    EXPECT_LT(stockRows(), before);

    Outcome again = stockfix({QStringLiteral("--batch"), keys(db)});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, QStringLiteral("Buscando Datos\nProceso Finalizado!\n"));
}

TEST_F(Batch, BadInputGetsAClearMessageAndAnExitStatus) {
    const struct {
        QStringList args;
        int status;
        const char* message;
        bool withoutDisplay = false;  // POSIX only: a Windows desktop always has a display
    } cases[] = {
        {{QStringLiteral("--batch"), QStringLiteral("--frobnicate")}, 2, "opción desconocida"},
        {{QStringLiteral("--dry-run"), keys(db)}, 2, "--batch"},
        {{QStringLiteral("--batch"), keys(dir.filePath(QStringLiteral("missing.sqlite")))}, 2, "missing.sqlite"},
        {{keys(db)}, 2, "use --batch", true},  // a window without a display
    };
    for (const auto& c : cases) {
        if (c.withoutDisplay && !testsupport::kProgramsCanLackADisplay) {
            std::printf("left out here (a Windows desktop always has a display): %s\n", c.message);
            continue;
        }
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        Outcome r = stockfix(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_FALSE((r.out + r.err).contains(QStringLiteral("pw-9876")));
    }
    Outcome help = stockfix({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("@DbName")));
}

TEST_F(Batch, AFailingRunGoesToStandardErrorWithStatus1) {
    testsupport::runSql(db, {QStringLiteral("DROP TABLE C_MV_Cpte")});
    Outcome r = stockfix({QStringLiteral("--batch"), keys(db)});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QStringLiteral("Buscando Datos\n"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("C_MV_Cpte"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("-2147217900")));
    EXPECT_FALSE(r.err.contains(QStringLiteral("pw-9876")));
}
