#include "lookup/indice_busqueda.h"

#include "platform/sort/folded_text.h"
#include "platform/sort/sort_strategies.h"
#include "platform/text_rules.h"

#include <algorithm>

namespace lookup {

QStringView IndiceBusqueda::texto(int columna, uint32_t fila) const {
    return platform::TrimView(filas_.cellView(platform::StorageRow{qsizetype(fila)}, columna));
}

void IndiceBusqueda::preparar(int columna) {
    if (columna < 0 || columna >= filas_.columnCount()) return;
    if (size_t(columna) >= columnas_.size()) columnas_.resize(size_t(columna) + 1);
    Columna& c = columnas_[size_t(columna)];
    if (c.construida) return;
    // The same folded order the C locale sorts by, on the trimmed texts.
    c.ordenadas.resize(static_cast<size_t>(filas_.count()));
    for (uint32_t r = 0; r < uint32_t(filas_.count()); ++r) c.ordenadas[r] = r;
    platform::sortFolded(c.ordenadas, [&](uint32_t fila) { return texto(columna, fila); }, false);
    c.construida = true;
    c.sello = ~uint64_t(0);
    // The shown rows too, so the first keystroke only searches.
    actualizarPosiciones(c);
}

void IndiceBusqueda::actualizarPosiciones(Columna& c) {
    if (!c.construida || (c.sello == filas_.orderStamp() && c.mostradas.size() == c.ordenadas.size())) return;
    Q_ASSERT(qsizetype(c.ordenadas.size()) == filas_.count());
    c.mostradas.resize(c.ordenadas.size());
    for (size_t i = 0; i < c.ordenadas.size(); ++i)
        c.mostradas[i] = uint32_t(filas_.shownOf(platform::StorageRow{qsizetype(c.ordenadas[i])}).value);
    c.minimos.assign((c.ordenadas.size() + kBloque - 1) / kBloque, UINT32_MAX);
    for (size_t i = 0; i < c.mostradas.size(); ++i) c.minimos[i / kBloque] = std::min(c.minimos[i / kBloque], c.mostradas[i]);
    c.sello = filas_.orderStamp();
}

void IndiceBusqueda::nuevoOrden() {
    for (Columna& c : columnas_) actualizarPosiciones(c);
}

void IndiceBusqueda::celdasCambiadas(int desde, int hasta) {
    for (int i = std::max(desde, 0); i <= hasta && size_t(i) < columnas_.size(); ++i) columnas_[size_t(i)] = Columna{};
}

platform::ShownRow IndiceBusqueda::primeraFila(int columna, QStringView clave) {
    if (columna < 0 || columna >= filas_.columnCount()) return {};
    preparar(columna);
    Columna& c = columnas_[size_t(columna)];
    if (c.ordenadas.empty()) return {};
    actualizarPosiciones(c);
    const QStringView buscada = platform::TrimView(clave);
    // The matching rows: from the first not below the key to the first that no longer
    // starts with it.
    const auto lo = std::partition_point(c.ordenadas.begin(), c.ordenadas.end(), [&](uint32_t fila) {
        return platform::compareFolded(texto(columna, fila), buscada) < 0;
    });
    const auto hi = std::partition_point(lo, c.ordenadas.end(), [&](uint32_t fila) {
        return platform::startsWithFolded(texto(columna, fila), buscada);
    });
    size_t desde = size_t(lo - c.ordenadas.begin());
    const size_t hasta = size_t(hi - c.ordenadas.begin());
    if (desde >= hasta) return {};
    uint32_t mejor = UINT32_MAX;
    while (desde < hasta && desde % kBloque != 0) mejor = std::min(mejor, c.mostradas[desde++]);
    while (desde + kBloque <= hasta) {
        mejor = std::min(mejor, c.minimos[desde / kBloque]);
        desde += kBloque;
    }
    while (desde < hasta) mejor = std::min(mejor, c.mostradas[desde++]);
    return platform::ShownRow{qsizetype(mejor)};
}

}  // namespace lookup
