#include "lookup/disposicion.h"

#include "platform/text_rules.h"

#include <algorithm>

namespace lookup {

double anchoColumna(double tamanoDefinido, const std::function<double(int)>& anchoDeX) {
    double w = tamanoDefinido;
    if (w >= 1000) w = 1000;
    return anchoDeX(platform::CLng(w));
}

Disposicion calcularDisposicion(const std::vector<Columna>& columnas, bool usaCantidades, double anchoPantalla) {
    Disposicion d;
    const size_t conCaja = usaCantidades && !columnas.empty() ? columnas.size() - 1 : columnas.size();
    double total = 0;
    for (size_t i = 0; i < conCaja; ++i) {
        d.cajas.push_back({columnas[i].left, columnas[i].width - 50});
        total += columnas[i].width;
    }
    if (usaCantidades && !columnas.empty()) total += columnas.back().width;
    d.anchoLista = float(total + 360);
    d.anchoPanel = platform::RoundHalfEven(total) + 360;
    d.anchoBarra = total;
    d.maximoBarra = d.anchoPanel > 32700 ? int16_t(32700) : platform::CInt((d.anchoPanel + 480) * 0.6);
    d.anchoVentana = float(d.anchoLista + 360) < anchoPantalla ? double(d.anchoLista) + 280 : anchoPantalla - 480;
    return d;
}

Redimension calcularRedimension(double anchoVentana, double altoVentana, double altoFrame, double anchoFrame,
                                double altoBarra) {
    Redimension r{};
    r.altoPanel = altoVentana - altoFrame - 480;
    r.altoLista = r.altoPanel - altoFrame - 600;
    r.anchoPanel = anchoVentana - 120;
    r.anchoLista = r.anchoPanel - 20;
    r.topFrame = altoVentana - altoFrame - 420;
    r.topBarra = r.altoPanel - altoBarra - 120;
    r.anchoBarra = anchoVentana - 120;
    r.leftFrame = anchoVentana / 2 - anchoFrame / 2;
    return r;
}

}  // namespace lookup
