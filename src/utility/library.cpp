#include "utility/library.h"

namespace utility {

LibrarySlot<IniFile>& iniFileSlot() {
    static LibrarySlot<IniFile> slot;
    return slot;
}
LibrarySlot<FormStyler>& formStylerSlot() {
    static LibrarySlot<FormStyler> slot;
    return slot;
}
LibrarySlot<Utilities>& utilitiesSlot() {
    static LibrarySlot<Utilities> slot;
    return slot;
}
LibrarySlot<DataAccess>& dataAccessSlot() {
    static LibrarySlot<DataAccess> slot;
    return slot;
}
LibrarySlot<FolderClient>& folderClientSlot() {
    static LibrarySlot<FolderClient> slot;
    return slot;
}

}  // namespace utility
