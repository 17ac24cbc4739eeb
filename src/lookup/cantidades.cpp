#include "lookup/cantidades.h"

#include "platform/number_format.h"
#include "platform/text_rules.h"

#include <QLocale>

namespace lookup {

double leerCantidad(const QString& celda) {
    const QString separador = QLocale().decimalPoint();
    if (separador == u"." || !celda.contains(separador)) return platform::Val(celda);
    QString conPunto = celda;
    return platform::Val(conPunto.replace(conPunto.indexOf(separador), separador.size(), u'.'));
}

QString cantidadPedida(const QString& respuesta) {
    const QString texto = leerCantidad(respuesta) == 0 ? QStringLiteral("0.######") : respuesta;
    return platform::Format(texto, QStringLiteral("########0.00"));
}

QString cantidadTexto(double cantidad) { return platform::Format(cantidad, QStringLiteral("########0.0")); }

QString cantidadMasUno(const QString& celda) { return cantidadTexto(leerCantidad(celda) + 1); }

QString cantidadMenosUno(const QString& celda) { return cantidadTexto(leerCantidad(celda) - 1); }

}  // namespace lookup
