#include "support/child_process.h"

#include <QLocale>
#include <QtGlobal>

#include <windows.h>

namespace testsupport {

void runInChild(QProcess&, std::function<void()> inChild) { Q_ASSERT(!inChild); }

bool runsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

const char* const kUserConfigHome = "APPDATA";
const bool kOpenFilesCanBeRemoved = false;
const bool kCommandLinesPastTheKeyLimit = false;

bool runsInLocale(const QByteArray& wanted) {
    if (wanted.startsWith("C.") || wanted == "C") return true;
    const qsizetype dot = wanted.indexOf('.');
    return QLocale::system().name() == QString::fromLatin1(dot < 0 ? wanted : wanted.left(dot));
}

}  // namespace testsupport
