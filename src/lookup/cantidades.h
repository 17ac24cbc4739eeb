#pragma once

#include <QString>

// The quantity texts of the lookup window. A quantity lives only as the text of its cell.
namespace lookup {

inline constexpr const char* kTituloCantidad = "**Cantidad**";

// The number a quantity cell holds. Cells are written with the user's decimal separator,
// so they are read back with it: under a comma locale "2,50" is 2.5, not 2.
double leerCantidad(const QString& celda);

// What the quantity prompt's answer becomes in the cell: "0.######" when it holds no
// number other than 0 (empty, cancelled, letters), otherwise the answer formatted with two
// decimals when it is a number in the user's locale, or as typed ("12abc").
QString cantidadPedida(const QString& respuesta);
// A raised or lowered quantity as its cell shows it: one decimal.
QString cantidadTexto(double cantidad);
// The cell after Insert (one more) and after Delete (one less).
QString cantidadMasUno(const QString& celda);
QString cantidadMenosUno(const QString& celda);

}  // namespace lookup
