#include "correction/textos_correccion.h"

#include <gtest/gtest.h>

using namespace correction;

TEST(CorrectionSql, SelectionTextToTheCharacter) {
    EXPECT_EQ(TextoSeleccion(),
              QStringLiteral("SELECT V_MV_Stock.TC, V_MV_Stock.IDCOMPROBANTE, C_MV_Cpte.Cuenta FROM V_MV_Stock LEFT "
                             "OUTER JOIN  C_MV_Cpte ON V_MV_Stock.TC = C_MV_Cpte.TC AND  V_MV_Stock.IDCOMPROBANTE = "
                             "C_MV_Cpte.IDCOMPROBANTE  GROUP BY V_MV_Stock.TC, V_MV_Stock.IDCOMPROBANTE,  "
                             "C_MV_Cpte.Cuenta HAVING (V_MV_Stock.TC = N'fcc') AND  (C_MV_Cpte.CUENTA IS NULL)"));
}

TEST(CorrectionSql, DeletionAndStatusTextsForEachKindOfValue) {
    const struct {
        QVariant tc, id;
        const char* deletion;
        const char* status;
    } cases[] = {
        {QStringLiteral("fcc"), QStringLiteral("0001-00000042"),
         "DELETE V_MV_STOCK WHERE TC ='fcc' AND IDCOMPROBANTE = '0001-00000042'", "Corrigiendo... fcc0001-00000042"},
        {QStringLiteral("FCC"), QStringLiteral("0001-0000'049"),
         "DELETE V_MV_STOCK WHERE TC ='FCC' AND IDCOMPROBANTE = '0001-0000''049'", "Corrigiendo... FCC0001-0000'049"},
        {QStringLiteral("fcc"), QVariant(), "DELETE V_MV_STOCK WHERE TC ='fcc' AND IDCOMPROBANTE IS NULL",
         "Corrigiendo... fcc"},
        {QVariant(), QStringLiteral("x"), "DELETE V_MV_STOCK WHERE TC IS NULL AND IDCOMPROBANTE = 'x'",
         "Corrigiendo... x"},
        {QStringLiteral("fcc"), QStringLiteral("'; DELETE FROM V_MV_Stock; --"),
         "DELETE V_MV_STOCK WHERE TC ='fcc' AND IDCOMPROBANTE = '''; DELETE FROM V_MV_Stock; --'",
         "Corrigiendo... fcc'; DELETE FROM V_MV_Stock; --"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deletion);
        EXPECT_EQ(TextoBorrado(c.tc, c.id), QString::fromUtf8(c.deletion));
        EXPECT_EQ(TextoEstado(c.tc, c.id), QString::fromUtf8(c.status));
    }
    EXPECT_EQ(TextoConteo(QStringLiteral("fcc"), QStringLiteral("a'b")),
              QStringLiteral("SELECT COUNT(*) AS FILAS FROM V_MV_STOCK WHERE TC ='fcc' AND IDCOMPROBANTE = 'a''b'"));
}
