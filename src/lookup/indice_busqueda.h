#pragma once

#include "platform/list_items_model.h"
#include "platform/row_coordinates.h"

#include <QStringView>
#include <cstdint>
#include <vector>

namespace lookup {

// Busqueda's rule over the rows of a list: the first row in the shown order whose cell in
// a column, blanks trimmed, starts with the trimmed key, ignoring case (case-folded
// characters). Each column gets an index on first use, without walking every row at each
// keystroke: the rows are kept sorted by their folded, trimmed text, so the matches form
// one range, and the lowest shown row in that range comes from per-block minima. Its owner
// tells it when the list changes.
class IndiceBusqueda {
public:
    explicit IndiceBusqueda(const platform::ListItemsModel& filas) : filas_(filas) {}

    platform::ShownRow primeraFila(int columna, QStringView clave);
    // Builds the column's index now (when its search box takes the focus, say).
    void preparar(int columna);

    // The shown order changed: built indexes learn it now, so the next keystroke only searches.
    void nuevoOrden();
    // Cells of columns `desde` to `hasta` changed: their indexes are built again when used.
    void celdasCambiadas(int desde, int hasta);
    // Rows came or went: every index is built again when used.
    void olvidarTodo() { columnas_.clear(); }

private:
    static constexpr size_t kBloque = 512;
    struct Columna {
        bool construida = false;
        std::vector<uint32_t> ordenadas;  // storage rows by folded, trimmed text
        std::vector<uint32_t> mostradas;  // shown row of ordenadas[i]
        std::vector<uint32_t> minimos;    // minimum of mostradas per block
        uint64_t sello = ~uint64_t(0);    // the order stamp mostradas was taken at
    };
    QStringView texto(int columna, uint32_t fila) const;
    void actualizarPosiciones(Columna& c);

    const platform::ListItemsModel& filas_;
    std::vector<Columna> columnas_;
};

}  // namespace lookup
