#include "startup/liberar_objetos.h"

#include "utility/library.h"

namespace startup {

void LiberarObjetos() {
    utility::iniFileSlot().release();
    utility::utilitiesSlot().release();
    utility::dataAccessSlot().release();
    utility::formStylerSlot().release();
    utility::folderClientSlot().release();
}

void CerrarSesion() {
    if (utility::dataAccessSlot().created()) utility::dataAccess().CloseSession();
}

}  // namespace startup
