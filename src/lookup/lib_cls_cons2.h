#pragma once

#include "lookup/coleccion.h"
#include "lookup/mascara_consulta.h"

#include <QString>
#include <memory>
#include <optional>

namespace lookup {

class Lib_FrmCons2;

// The lookup request: a caller sets the members, calls ConsultaSearch with a table name
// (resolved through the mask file) or a whole statement, and finds the choice in
// Valores, Cantidades and ValorDevuelto when the call returns.
class Lib_ClsCons2 {
public:
    Lib_ClsCons2();
    ~Lib_ClsCons2();

    Coleccion CmpsDevueltos = nuevaColeccion();  // made with the request; ConsultaSearch uses its argument
    Coleccion Valores = nuevaColeccion();
    Coleccion Cantidades;                       // nothing until a lookup
    bool Checks = false;
    std::optional<QString> ValorDevuelto;       // unassigned until a lookup writes it
    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    bool UsaCantidades = false;
    QString CampoDevuelto;

    // Shows the lookup window modally and collects the result. `CmpsDevueltos` is used in
    // place, emptied and set to nothing on return; `CampoBusqueda` receives the mask's
    // first column when it comes in empty. Failures are skipped step by step, silently.
    void ConsultaSearch(const QString& SQL, Coleccion& CmpsDevueltos, const QString& Clave, QString& CampoBusqueda);

    // The statement a table name turns into through the mask file, as ConsultaSearch
    // builds it (the caller's text when no mask applies).
    QString sentenciaPara(const QString& SQL, QString& CampoBusqueda);

private:
    MascaraConsulta RegMascara;  // the last record read from the mask file
};

}  // namespace lookup
