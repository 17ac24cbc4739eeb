#include "platform/runtime_error.h"
#include "startup/configuracion.h"
#include "startup/valores_sesion.h"
#include "startup_fixture.h"
#include "support/scripted_prompter.h"
#include "utility/library.h"
#include "support/expect_runtime_error.h"

#include <gtest/gtest.h>

using namespace startup;
using testsupport::ScriptedPrompter;
using testsupport::expectRuntimeError;

namespace {

class Configuracion : public testsupport::StartupTest {};

constexpr int32_t kCyan = 0xFFFF00;

}  // namespace

TEST_F(Configuracion, ATableWithoutTheKeysGivesTheDefaults) {
    openSession(configDatabase({}));
    CargarConfiguracion(QStringLiteral("/opt/app/"));
    EXPECT_FALSE(gMostrarStockenConsultas);
    EXPECT_EQ(gTituloClientes, QString());
    EXPECT_EQ(gTituloProveedores, QString());
    EXPECT_EQ(gRutaTareas, QStringLiteral("/opt/app/KVDOCTareas.kvl"));
    EXPECT_FALSE(gExigeClaveConsultaLikeArticulos);
    EXPECT_FALSE(gUsaConsultaLike);
    EXPECT_EQ(gCantidadDecimales, QStringLiteral(" "));
    EXPECT_FALSE(gUsaMultilesMonedas);
    EXPECT_EQ(gColorFondo, kCyan);
    EXPECT_EQ(gColorLetra, 0);
    EXPECT_TRUE(gModuloOrdenDeTrabajo);
    EXPECT_EQ(LeerConfiguracion(QStringLiteral("NoExiste")), QStringLiteral(" "));
}

TEST_F(Configuracion, ValuesFollowTheirRules) {
    openSession(configDatabase({
        "'MostrarStockenConsultas', 'si'",
        "'TituloClientes', '  Clientes del Año  '",
        "'TituloProveedores', NULL",
        "'exigeclaveconsultalikearticulos', 'Si'",
        "'UsaConsultaLike', 'SI '",             // a trailing blank: not SI
        "'CantidadDecimales', ' 3 '",
        "'UsaMultilesMonedas', 'SI'",
        "'UsaMultilesMonedas', 'NO'",           // several rows: the first one counts
        "'CFondo', '2.5'",                      // halves to even
        "'CLetra', '3.5'",
        "'ModuloOrdenDeTrabajo', '  no '",
    }));
    CargarConfiguracion(QStringLiteral("/opt/app/"));
    EXPECT_TRUE(gMostrarStockenConsultas);
    EXPECT_EQ(gTituloClientes, QStringLiteral("Clientes del Año"));
    EXPECT_EQ(gTituloProveedores, QString());
    EXPECT_TRUE(gExigeClaveConsultaLikeArticulos);
    EXPECT_FALSE(gUsaConsultaLike);
    EXPECT_EQ(gCantidadDecimales, QStringLiteral(" 3 "));
    EXPECT_TRUE(gUsaMultilesMonedas);
    EXPECT_EQ(gColorFondo, 2);
    EXPECT_EQ(gColorLetra, 4);
    EXPECT_FALSE(gModuloOrdenDeTrabajo);
}

TEST_F(Configuracion, ColoursAndTheWorkOrderFlag) {
    const struct {
        const char* fondo;  // SQL literal
        const char* letra;
        const char* orden;
        int32_t colorFondo;
        int32_t colorLetra;
        bool moduloOrden;
    } cases[] = {
        {"'0'", "'0'", "'NO'", kCyan, 0, false},
        {"NULL", "NULL", "NULL", kCyan, 0, true},
        {"'255'", "'16711680'", "''", 255, 16711680, true},
        {"'&H8000'", "' 12 '", "'No'", 0x8000, 12, false},
        {"'-1'", "'0.4'", "'NOT'", -1, 0, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fondo);
        openSession(configDatabase({QStringLiteral("'CFondo', %1").arg(c.fondo),
                                    QStringLiteral("'CLetra', %1").arg(c.letra),
                                    QStringLiteral("'ModuloOrdenDeTrabajo', %1").arg(c.orden)},
                                   QStringLiteral("c%1.sqlite").arg(++n)));
        CargarConfiguracion(QStringLiteral("/"));
        EXPECT_EQ(gColorFondo, c.colorFondo);
        EXPECT_EQ(gColorLetra, c.colorLetra);
        EXPECT_EQ(gModuloOrdenDeTrabajo, c.moduloOrden);
        utility::dataAccessSlot().release();
    }
}

TEST_F(Configuracion, AColourThatIsNoNumberStopsTheLoadKeepingLaterValues) {
    openSession(configDatabase({"'CFondo', 'azul'", "'ModuloOrdenDeTrabajo', 'NO'", "'UsaConsultaLike', 'SI'"}));
    gModuloOrdenDeTrabajo = true;
    expectRuntimeError(platform::kTypeMismatch, [] { CargarConfiguracion(QStringLiteral("/")); });
    EXPECT_TRUE(gUsaConsultaLike);       // read before the colours
    EXPECT_TRUE(gModuloOrdenDeTrabajo);  // after them: not loaded, keeps what it had
}

TEST_F(Configuracion, AFailingTableIsReportedForEachKeyAsTheUserAnswers) {
    openSession(makeDatabase(QStringLiteral("empty.sqlite"), {QStringLiteral("CREATE TABLE OTRA (X INT)")}));
    const struct {
        int answer;
        int questionsPerKey;
    } cases[] = {
        {platform::vbIgnore, 4},  // query, BOF mark, field, close: each reported, all skipped
        {platform::vbAbort, 1},
        {platform::vbRetry, 1},   // Retry ends the read too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        ScriptedPrompter prompter;
        prompter.fallback = c.answer;
        gCantidadDecimales = QStringLiteral("x");
        CargarConfiguracion(QStringLiteral("/"));
        EXPECT_EQ(prompter.boxes.size(), 10 * c.questionsPerKey);
        EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("Cfg")));
        EXPECT_TRUE(prompter.boxes.front().prompt.contains(QStringLiteral("TA_CONFIGURACION")));
        EXPECT_EQ(gCantidadDecimales, QString());
        EXPECT_FALSE(gMostrarStockenConsultas);
        EXPECT_TRUE(gModuloOrdenDeTrabajo);
        EXPECT_EQ(gColorFondo, kCyan);
        EXPECT_EQ(gColorLetra, 0);
    }
}
