#include "utility/library.h"

namespace utility {

namespace {

template <class T>
LibrarySlot<T>& slotOf() {
    static LibrarySlot<T> slot;
    return slot;
}

}  // namespace

LibrarySlot<IniFile>& iniFileSlot() { return slotOf<IniFile>(); }
LibrarySlot<FormStyler>& formStylerSlot() { return slotOf<FormStyler>(); }
LibrarySlot<Utilities>& utilitiesSlot() { return slotOf<Utilities>(); }
LibrarySlot<DataAccess>& dataAccessSlot() { return slotOf<DataAccess>(); }
LibrarySlot<FolderClient>& folderClientSlot() { return slotOf<FolderClient>(); }

}  // namespace utility
