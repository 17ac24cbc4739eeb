// Many random databases: after the run, the stock rows left are exactly those an
// independent oracle says must stay; a second run finds nothing.
#include "correction_fixture.h"
#include "support/scripted_prompter.h"
#include "utility/library.h"

#include <gtest/gtest.h>
#include <random>

using namespace testsupport;

namespace {

// Stock rows that must stay, written another way: not of type fcc, or with a header of
// their voucher that carries an account and no header without one.
const char kOracle[] =
    "SELECT IDMOVIMIENTO FROM V_MV_Stock s WHERE NOT (lower(s.TC) = 'fcc' AND ("
    " NOT EXISTS (SELECT 1 FROM C_MV_Cpte c WHERE c.TC = s.TC AND c.IDCOMPROBANTE = s.IDCOMPROBANTE)"
    " OR EXISTS (SELECT 1 FROM C_MV_Cpte c WHERE c.TC = s.TC AND c.IDCOMPROBANTE = s.IDCOMPROBANTE"
    "            AND c.CUENTA IS NULL))) ORDER BY IDMOVIMIENTO";

QString literal(const QVariant& v) {
    if (!v.isValid()) return QStringLiteral("NULL");
    QString s = v.toString();
    return u'\'' + s.replace(u'\'', QStringLiteral("''")) + u'\'';
}

QStringList randomDatabase(std::mt19937& rng) {
    const QVariant types[] = {QStringLiteral("fcc"), QStringLiteral("FCC"), QStringLiteral("Fcc"),
                              QStringLiteral("fcv"), QStringLiteral("rem")};
    const QVariant ids[] = {QStringLiteral("0001-00000001"), QStringLiteral("0001-00000002"),
                            QStringLiteral("0001-00000003"), QStringLiteral("0002-00000001"),
                            QStringLiteral("0001-0000'004"), QStringLiteral("x'; DELETE FROM V_MV_Stock; --"),
                            QStringLiteral("ñandú €"), QStringLiteral("0001-00000001 "), QVariant()};
    auto any = [&](const auto& list) { return list[std::uniform_int_distribution<size_t>(0, std::size(list) - 1)(rng)]; };
    QStringList sql = correctionSchema();
    const int stockRows = std::uniform_int_distribution<int>(0, 60)(rng);
    for (int i = 1; i <= stockRows; ++i)
        sql << QStringLiteral("INSERT INTO V_MV_Stock VALUES (%1, %2, %3, %4)")
                   .arg(i)
                   .arg(literal(any(types)), literal(any(ids)))
                   .arg(i % 7);
    const int headers = std::uniform_int_distribution<int>(0, 25)(rng);
    for (int i = 0; i < headers; ++i) {
        const bool withAccount = std::bernoulli_distribution(0.6)(rng);
        sql << QStringLiteral("INSERT INTO C_MV_Cpte VALUES (%1, %2, %3)")
                   .arg(literal(any(types)), literal(any(ids)),
                        withAccount ? QStringLiteral("'2.1.1.01'") : QStringLiteral("NULL"));
    }
    return sql;
}

class Differential : public ProgramTest {};

}  // namespace

TEST_F(Differential, TheRunLeavesWhatTheOracleSaysAndASecondRunFindsNothing) {
    std::mt19937 rng(1702);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const QString file = makeDatabase(QStringLiteral("r%1.sqlite").arg(round), randomDatabase(rng));
        const QStringList expected = queryColumn(file, QString::fromLatin1(kOracle));
        const QStringList vouchers = queryColumn(
            file, QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM V_MV_Stock s LEFT JOIN C_MV_Cpte c ON s.TC = c.TC "
                                 "AND s.IDCOMPROBANTE = c.IDCOMPROBANTE WHERE lower(s.TC) = 'fcc' AND c.CUENTA IS NULL "
                                 "GROUP BY s.TC, s.IDCOMPROBANTE, c.CUENTA)"));

        openSession(file);
        ScriptedPrompter prompter;
        RecordedStatus status;
        platform::Recordset rs;
        correction::CorregirComprobantes(rs, status);
        EXPECT_EQ(queryColumn(file, QStringLiteral("SELECT IDMOVIMIENTO FROM V_MV_Stock ORDER BY IDMOVIMIENTO")), expected);
        EXPECT_EQ(status.texts.size(), vouchers.front().toInt() + 2);  // "Buscando Datos", each voucher, ""
        ASSERT_EQ(prompter.boxes.size(), 1);
        EXPECT_EQ(prompter.boxes.front().prompt, QStringLiteral("Proceso Finalizado!"));
        EXPECT_EQ(prompter.boxes.front().style, platform::vbOKOnly);

        RecordedStatus again;
        correction::CorregirComprobantes(rs, again);
        EXPECT_EQ(again.texts, (QStringList{QStringLiteral("Buscando Datos"), QString()}));
        EXPECT_EQ(queryColumn(file, QStringLiteral("SELECT IDMOVIMIENTO FROM V_MV_Stock ORDER BY IDMOVIMIENTO")), expected);
        utility::dataAccessSlot().release();
    }
}
