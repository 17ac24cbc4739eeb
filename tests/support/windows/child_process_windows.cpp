#include "support/child_process.h"

#include <QLocale>
#include <QtGlobal>

#include <windows.h>
#include <shellapi.h>

namespace testsupport {

void runInChild(QProcess&, std::function<void()> inChild) { Q_ASSERT(!inChild); }

bool runsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

std::optional<QStringList> platformArgumentsOf(const QString& text) {
    const std::wstring line = (QStringLiteral("programa.exe ") + text).toStdWString();
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(line.c_str(), &count);
    if (!wide) return std::nullopt;
    QStringList arguments;
    for (int i = 1; i < count; ++i) arguments << QString::fromWCharArray(wide[i]);
    LocalFree(wide);
    return arguments;
}

const char* const kUserConfigHome = "APPDATA";
const bool kProgramsCanLackADisplay = false;
const bool kProgramIconResources = true;
const bool kOpenFilesCanBeRemoved = false;
const bool kCommandLinesPastTheKeyLimit = false;

bool runsInLocale(const QByteArray& wanted) {
    if (wanted.startsWith("C.") || wanted == "C") return true;
    const qsizetype dot = wanted.indexOf('.');
    return QLocale::system().name() == QString::fromLatin1(dot < 0 ? wanted : wanted.left(dot));
}

}  // namespace testsupport
