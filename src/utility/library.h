#pragma once

#include "utility/data_access.h"
#include "utility/folder_client.h"
#include "utility/form_styler.h"
#include "utility/ini_file.h"
#include "utility/utilities.h"

#include <memory>

// One program-wide object per library class, created on first use and kept until it is
// released. Tests may put objects of their own in place.
namespace utility {

template <class T>
class LibrarySlot {
public:
    T& get() {
        if (!object_) object_ = std::make_unique<T>();
        return *object_;
    }
    bool created() const { return object_ != nullptr; }
    void put(std::unique_ptr<T> object) { object_ = std::move(object); }
    void release() { object_.reset(); }

private:
    std::unique_ptr<T> object_;
};

LibrarySlot<IniFile>& iniFileSlot();
LibrarySlot<FormStyler>& formStylerSlot();
LibrarySlot<Utilities>& utilitiesSlot();
LibrarySlot<DataAccess>& dataAccessSlot();
LibrarySlot<FolderClient>& folderClientSlot();

inline IniFile& iniFile() { return iniFileSlot().get(); }
inline FormStyler& formStyler() { return formStylerSlot().get(); }
inline Utilities& utilities() { return utilitiesSlot().get(); }
inline DataAccess& dataAccess() { return dataAccessSlot().get(); }
inline FolderClient& folderClient() { return folderClientSlot().get(); }

}  // namespace utility
