#include "startup/configuracion.h"

#include "platform/error_styles.h"
#include "platform/prompts.h"
#include "platform/text_rules.h"
#include "startup/valores_sesion.h"
#include "utility/library.h"

#include <optional>

namespace startup {

using platform::EqualsNoCase;
using platform::ErrorChoice;
using platform::RuntimeError;
using platform::Trim;

namespace {
constexpr int32_t kCian = 0xFFFF00;  // &HFFFF00, blue-green-red order
}

QString LeerConfiguracion(const QString& clave) {
    // Skip goes on with the next step; any other answer, Retry included, ends the read.
    platform::ErrorScope scope([](const RuntimeError& e) {
        return utility::utilities().ReportError(e, {}, QStringLiteral("Cfg")) == platform::vbIgnore
                   ? ErrorChoice::Skip
                   : ErrorChoice::Leave;
    });
    platform::Recordset rs;
    QString resultado;
    QString sql;

    scope.step([&] {
        sql = QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = '") + Trim(clave) + u'\'';
    });
    scope.step([&] { utility::dataAccess().OpenRecordset(sql, rs, 0, 1, -1); });
    std::optional<bool> sinFilas;
    scope.step([&] { sinFilas = rs.bof(); });
    if (sinFilas == true) {
        scope.step([&] { resultado = QStringLiteral(" "); });
    } else {
        scope.step([&] { resultado = utility::utilities().NonNullValue(rs.fields(QStringLiteral("Valor")).value()); });
    }
    scope.step([&] { utility::dataAccess().CloseRecordset(rs); });
    if (scope.left()) return {};
    return resultado;
}

void CargarConfiguracion(const QString& carpetaAplicacion) {
    utility::Utilities& util = utility::utilities();
    auto leer = [](const char* clave) { return LeerConfiguracion(QString::fromLatin1(clave)); };

    gMostrarStockenConsultas = EqualsNoCase(util.NonNullValue(leer("MostrarStockenConsultas")), QStringLiteral("SI"));
    gTituloClientes = Trim(leer("TituloClientes"));
    gTituloProveedores = Trim(leer("TituloProveedores"));
    gRutaTareas = carpetaAplicacion + QStringLiteral("KVDOCTareas.kvl");
    gExigeClaveConsultaLikeArticulos = EqualsNoCase(leer("EXIGECLAVECONSULTALIKEARTICULOS"), QStringLiteral("SI"));
    gUsaConsultaLike = EqualsNoCase(leer("UsaConsultaLike"), QStringLiteral("SI"));
    gCantidadDecimales = leer("CantidadDecimales");
    gUsaMultilesMonedas = EqualsNoCase(leer("UsaMultilesMonedas"), QStringLiteral("SI"));

    gColorFondo = platform::CLng(util.ToCurrency(leer("CFondo")).toDouble());
    gColorLetra = platform::CLng(util.ToCurrency(leer("CLetra")).toDouble());
    if (gColorFondo == 0) gColorFondo = kCian;  // an unset background is cyan; an unset letter colour stays 0

    gModuloOrdenDeTrabajo = !EqualsNoCase(Trim(leer("ModuloOrdenDeTrabajo")), QStringLiteral("NO"));
}

}  // namespace startup
