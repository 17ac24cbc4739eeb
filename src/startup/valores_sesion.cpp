#include "startup/valores_sesion.h"

namespace startup {

QString gSeccionApariencia;
QVariant gFlatToolbars;
QString gParametroAdicional;
QString gMenu;
QString gUsuarioLogeado;
QString gCaja;

bool gMostrarStockenConsultas = false;
QString gTituloClientes;
QString gTituloProveedores;
QString gRutaTareas;
bool gExigeClaveConsultaLikeArticulos = false;
bool gUsaConsultaLike = false;
QString gCantidadDecimales;
bool gUsaMultilesMonedas = false;
int32_t gColorFondo = 0;
int32_t gColorLetra = 0;
bool gModuloOrdenDeTrabajo = false;

void reiniciarValoresModulo() {
    gSeccionApariencia.clear();
    gFlatToolbars = QVariant();
    gParametroAdicional.clear();
    gMenu.clear();
    gUsuarioLogeado.clear();
    gCaja.clear();
    gMostrarStockenConsultas = false;
    gTituloClientes.clear();
    gTituloProveedores.clear();
    gRutaTareas.clear();
    gExigeClaveConsultaLikeArticulos = false;
    gUsaConsultaLike = false;
    gCantidadDecimales.clear();
    gUsaMultilesMonedas = false;
    gColorFondo = 0;
    gColorLetra = 0;
    gModuloOrdenDeTrabajo = false;
}

}  // namespace startup
