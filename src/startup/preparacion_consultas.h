#pragma once

#include "lookup/lib_cls_cons2.h"

namespace startup {

// The program-wide lookup request, created on first use and kept until the program ends.
lookup::Lib_ClsCons2& consultaGlobal();
// Drops it (for tests: the next use makes a new one).
void olvidarConsultaGlobal();

// The mask file's name in the application folder.
inline constexpr const char* kArchivoMascaras = "consultas.kvl";

// Creates the mask file at the request's path with the four default masks: articles,
// clients, suppliers and contacts. No error handling of its own.
void CrearMascaras();

}  // namespace startup
