#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// The lookup window's layout arithmetic, in twips.
namespace lookup {

// A column's width: the text width of round(w) letters "X", w the field's defined size
// capped at 1000. `anchoDeX(n)` measures n letters X in the window's font.
double anchoColumna(double tamanoDefinido, const std::function<double(int)>& anchoDeX);

struct Columna {
    double left;
    double width;
};

struct Disposicion {
    std::vector<Columna> cajas;  // search box i: left and width
    float anchoLista = 0;
    double anchoPanel = 0;
    double anchoBarra = 0;
    int16_t maximoBarra = 0;
    double anchoVentana = 0;
};

// The layout after loading: each search box over its column, 50 narrower; the list, panel
// and scroll bar from the total of the column widths; the window's width from the screen's.
Disposicion calcularDisposicion(const std::vector<Columna>& columnas, bool usaCantidades, double anchoPantalla);

struct Redimension {
    double altoPanel, altoLista, anchoPanel, anchoLista;
    double topFrame, topBarra, anchoBarra, leftFrame;
};

// Sizes that follow the window's outer size.
Redimension calcularRedimension(double anchoVentana, double altoVentana, double altoFrame, double anchoFrame,
                                double altoBarra);

}  // namespace lookup
