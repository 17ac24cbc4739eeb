#pragma once

namespace startup {

// The shared start-up: toolbar style from the INI file, the session from the command
// line, the folder client, the lookup request and its mask file, then the configuration
// values. An invalid-call error (5) skips
// the failing step; any other error ends the start-up quietly. A session that is not open
// after OpenSession ends the program (status 2).
void IniciarSistema();

}  // namespace startup
