#include "correction/textos_correccion.h"

namespace correction {

namespace {

bool esNulo(const QVariant& v) { return !v.isValid() || v.isNull(); }

QString entreComillas(const QVariant& v) {
    QString text = v.toString();
    return text.replace(u'\'', QStringLiteral("''"));
}

}  // namespace

// "TC ='x' AND IDCOMPROBANTE = 'y'", spaced as the run always wrote it.
QString CondicionComprobante(const QVariant& tc, const QVariant& id) {
    QString where = esNulo(tc) ? QStringLiteral("TC IS NULL") : QStringLiteral("TC ='") + entreComillas(tc) + u'\'';
    where += esNulo(id) ? QStringLiteral(" AND IDCOMPROBANTE IS NULL")
                        : QStringLiteral(" AND IDCOMPROBANTE = '") + entreComillas(id) + u'\'';
    return where;
}

QString TextoSeleccion() {
    return QStringLiteral("SELECT V_MV_Stock.TC, V_MV_Stock.IDCOMPROBANTE, ") + QStringLiteral("C_MV_Cpte.Cuenta ") +
           QStringLiteral("FROM V_MV_Stock LEFT OUTER JOIN  ") +
           QStringLiteral("C_MV_Cpte ON V_MV_Stock.TC = C_MV_Cpte.TC AND  ") +
           QStringLiteral("V_MV_Stock.IDCOMPROBANTE = C_MV_Cpte.IDCOMPROBANTE  ") +
           QStringLiteral("GROUP BY V_MV_Stock.TC, V_MV_Stock.IDCOMPROBANTE,  ") +
           QStringLiteral("C_MV_Cpte.Cuenta HAVING (V_MV_Stock.TC = N'fcc') AND  (C_MV_Cpte.CUENTA IS NULL)");
}

QString TextoBorrado(const QVariant& tc, const QVariant& idComprobante) {
    return QStringLiteral("DELETE V_MV_STOCK WHERE ") + CondicionComprobante(tc, idComprobante);
}

QString TextoConteo(const QVariant& tc, const QVariant& idComprobante) {
    return QStringLiteral("SELECT COUNT(*) AS FILAS FROM V_MV_STOCK WHERE ") + CondicionComprobante(tc, idComprobante);
}

QString TextoEstado(const QVariant& tc, const QVariant& idComprobante) {
    auto text = [](const QVariant& v) { return esNulo(v) ? QString() : v.toString(); };
    return QStringLiteral("Corrigiendo... ") + text(tc) + text(idComprobante);
}

}  // namespace correction
