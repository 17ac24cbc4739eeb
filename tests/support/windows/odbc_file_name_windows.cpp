#include "support/odbc_file_name.h"

#include <QDir>

#include <windows.h>

namespace testsupport {

QString odbcFileName(const QString& path) {
    // Wine's own kernel32 export; real Windows has none, and its drivers take Windows names.
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return path;
    const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
    char* name = unixName(wide.c_str());
    if (!name) return path;
    const QString result = QString::fromUtf8(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

}  // namespace testsupport
