#include "lookup/lib_cls_cons2.h"

#include "lookup/lib_frm_cons2.h"
#include "platform/error_styles.h"
#include "platform/text_rules.h"

namespace lookup {

using platform::EqualsNoCase;
using platform::Trim;

Lib_ClsCons2::Lib_ClsCons2() = default;
Lib_ClsCons2::~Lib_ClsCons2() = default;

QString Lib_ClsCons2::sentenciaPara(const QString& SQL, QString& CampoBusqueda) {
    platform::ErrorScope scope(platform::skipEveryError());
    QString texto = SQL;
    if (!gUsarMascarasConsultas || !existeArchivo(gRutaMascaraConsultas)) return texto;
    std::optional<MascaraLimpia> mascara;
    scope.step([&] {
        mascara = buscarMascara(gRutaMascaraConsultas, texto, RegMascara);
    });
    if (!mascara) return texto;
    QString filtro = mascara->filtro;
    scope.step([&] {
        if (CampoBusqueda.isEmpty()) {
            const qsizetype coma = mascara->campos.indexOf(u',');
            if (coma >= 0) CampoBusqueda = mascara->campos.left(coma);
        }
    });
    scope.step([&] {
        if (Trim(filtro).isEmpty()) {
            if (EqualsNoCase(mascara->tabla, QStringLiteral("VT_PROVEEDORES")) ||
                EqualsNoCase(mascara->tabla, QStringLiteral("VT_CLIENTES")))
                filtro = QStringLiteral("Dada_De_Baja = 0");
            else if (EqualsNoCase(mascara->tabla, QStringLiteral("V_MA_ARTICULOS")))
                filtro = QStringLiteral("SUSPENDIDO = 0");
        }
    });
    scope.step([&] {
        texto = QStringLiteral("SELECT ") + mascara->campos + QStringLiteral(" FROM ") + mascara->tabla;
        if (!Trim(filtro).isEmpty()) texto += QStringLiteral(" WHERE ") + filtro;
    });
    return texto;
}

void Lib_ClsCons2::ConsultaSearch(const QString& SQL, Coleccion& CmpsDevueltosArg, const QString& Clave,
                                  QString& CampoBusqueda) {
    platform::ErrorScope scope(platform::skipEveryError());
    QString texto = SQL;
    scope.step([&] { texto = sentenciaPara(SQL, CampoBusqueda); });

    std::unique_ptr<Lib_FrmCons2> ventana;
    auto frm = [&]() -> Lib_FrmCons2& {
        if (!ventana) ventana = std::make_unique<Lib_FrmCons2>();
        return *ventana;
    };
    scope.step([&] { frm().FiltroInicial = Clave; });
    scope.step([&] { frm().CampoBusqueda = CampoBusqueda; });
    scope.step([&] { frm().SQL = texto; });
    scope.step([&] { frm().gConnString = gConnString; });
    scope.step([&] { frm().CampoDevuelto = CampoDevuelto; });
    scope.step([&] { frm().CheckBoxes = Checks; });
    scope.step([&] { frm().UsaCantidades = UsaCantidades; });
    scope.step([&] {
        Valores.reset();
        Cantidades.reset();
    });
    scope.step([&] {
        frm().CmpsDevueltos.reset();
        frm().Valores.reset();
        frm().Cantidades.reset();
    });
    scope.step([&] {
        frm().CmpsDevueltos = CmpsDevueltosArg;
        frm().Valores = Valores;
        frm().Cantidades = Cantidades;
    });

    scope.step([&] { frm().MostrarModal(); });

    scope.step([&] { Checks = false; });
    scope.step([&] {
        Valores = frm().Valores;
        Cantidades = frm().Cantidades;
        ValorDevuelto = frm().ValorDevuelto;
    });
    scope.step([&] {
        frm().CampoDevuelto.clear();
        CampoDevuelto.clear();
    });
    scope.step([&] {
        while (CmpsDevueltosArg && !CmpsDevueltosArg->isEmpty()) CmpsDevueltosArg->removeFirst();
        CmpsDevueltosArg.reset();
    });
    scope.step([&] {
        frm().Valores.reset();
        frm().Cantidades.reset();
    });
    scope.step([&] {
        frm().Form_Unload();
        ventana.reset();
    });
}

}  // namespace lookup
