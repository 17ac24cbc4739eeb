#pragma once

#include <QString>

namespace startup {

// The site's settings from TA_CONFIGURACION, one query per key, into the module-wide
// configuration values. Errors of its own steps go to the caller's handler.
void CargarConfiguracion(const QString& carpetaAplicacion);

// The value stored for a key; one blank when the key has no row; the empty text after a
// failure the user does not skip. Failures are reported and asked about as "Cfg".
QString LeerConfiguracion(const QString& clave);

}  // namespace startup
