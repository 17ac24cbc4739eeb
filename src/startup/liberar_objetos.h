#pragma once

namespace startup {

// Releases the program-wide library objects at exit: IniFile, Utilities, DataAccess,
// FormStyler, FolderClient, in this order; one never created is skipped.
void LiberarObjetos();

}  // namespace startup
