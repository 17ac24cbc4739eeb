#include "platform/console_text.h"

#include <windows.h>
#include <shellapi.h>

namespace platform {

QByteArray consoleBytes(const QString& text) { return text.toUtf8(); }

QString fromConsoleBytes(const QByteArray& bytes) { return QString::fromUtf8(bytes); }

QStringList programArguments(int, char**) {
    QStringList arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i) arguments << QString::fromWCharArray(wide[i]);
    LocalFree(wide);
    return arguments;
}

void setUpConsole() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

}  // namespace platform
