#pragma once

#include "lookup/lib_cls_cons2.h"

namespace startup {

// The program-wide lookup request, created on first use and kept until the program ends.
lookup::Lib_ClsCons2& consultaGlobal();
// Drops it (for tests: the next use makes a new one).
void olvidarConsultaGlobal();

// The mask file's name in the application folder.
inline constexpr const char* kArchivoMascaras = "consultas.kvl";

// The folder the mask file is read from and created in: the application folder when the
// file is already there or the folder can take it; otherwise (an installed program the
// user cannot write) the user's configuration folder, when the system names one.
QString carpetaMascaras(const QString& carpetaAplicacion, bool archivoEnAplicacion, bool aplicacionEscribible,
                        const QString& carpetaUsuario);
// The mask file's full path for this program, by the rule above.
QString rutaMascaras();

// Creates the mask file at the request's path with the four default masks: articles,
// clients, suppliers and contacts. No error handling of its own.
void CrearMascaras();

}  // namespace startup
