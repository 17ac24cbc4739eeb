#pragma once

namespace startup {

// Releases the program-wide library objects at exit: IniFile, Utilities, DataAccess,
// FormStyler, FolderClient, in this order; one never created is skipped.
void LiberarObjetos();

// Closes the program's database session, when there is one, without releasing anything:
// every way out of the program does it, so SQLite leaves no -wal file behind.
void CerrarSesion();

}  // namespace startup
