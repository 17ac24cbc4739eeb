#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

// The shared module's module-wide values: set by the start-up and the configuration load,
// each keeping its last assignment for the life of the program.
namespace startup {

// Session values.
extern QString gSeccionApariencia;
extern QVariant gFlatToolbars;  // a double once set; empty (invalid) until the start-up reads it
extern QString gParametroAdicional;
extern QString gMenu;
extern QString gUsuarioLogeado;
extern QString gCaja;

// Configuration values.
extern bool gMostrarStockenConsultas;
extern QString gTituloClientes;
extern QString gTituloProveedores;
extern QString gRutaTareas;
extern bool gExigeClaveConsultaLikeArticulos;
extern bool gUsaConsultaLike;
extern QString gCantidadDecimales;
extern bool gUsaMultilesMonedas;
extern int32_t gColorFondo;
extern int32_t gColorLetra;
extern bool gModuloOrdenDeTrabajo;

// Back to the values a new program starts with (for tests).
void reiniciarValoresModulo();

}  // namespace startup
