#include "platform/console_text.h"
#include "platform/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <fcntl.h>
#include <io.h>

namespace platform {

QByteArray consoleBytes(const QString& text) { return text.toUtf8(); }

QString fromConsoleBytes(const QByteArray& bytes) { return QString::fromUtf8(bytes); }

// The wide command line as Windows holds it: argv has only the ANSI code page's approximation
// of it. Its arguments are the platform's own (CommandLineToArgvW), their places in the text
// Windows' splitting rules; where the two disagree the arguments are the platform's, joined.
CommandLine programCommandLine(int, char**) {
    const QString whole = QString::fromWCharArray(GetCommandLineW());
    CommandLine line = splitWindowsCommandLine(afterProgramName(whole));
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return line;
    QStringList arguments;
    for (int i = 1; i < count; ++i) arguments << QString::fromWCharArray(wide[i]);
    LocalFree(wide);
    if (arguments != line.arguments) line = joinedCommandLine(arguments);
    return line;
}

namespace {

// Which of stdout and stderr write to a console; the code pages the console had before.
bool onConsole[2] = {false, false};
UINT consoleOutputPage = 0, consoleInputPage = 0;

bool handed(DWORD stream) {
    const HANDLE h = GetStdHandle(stream);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

}  // namespace

// The window programs have no console of their own: started from one, without their streams
// redirected, they write to it (--batch's lines and statuses, --help). Redirected streams
// (a pipe, a file) stay as they are.
void setUpConsole() {
    const bool out = handed(STD_OUTPUT_HANDLE), err = handed(STD_ERROR_HANDLE);
    if ((!out || !err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!out) std::freopen("CONOUT$", "w", stdout);
        if (!err) std::freopen("CONOUT$", "w", stderr);
    }
    // The console's own code pages come back when the program ends: the user's console
    // window goes on with other programs.
    consoleOutputPage = GetConsoleOutputCP();
    consoleInputPage = GetConsoleCP();
    if (consoleOutputPage != 0 && SetConsoleOutputCP(CP_UTF8)) {
        SetConsoleCP(CP_UTF8);
        std::atexit(leaveConsole);
    }
    // On a console the C runtime's text mode would take the bytes for the ANSI code page (Wine
    // does so): they go to the console as they are, UTF-8, which it shows (a lone LF ends a
    // line there). Buffered, so that a character's bytes reach it in one write (an unbuffered
    // stream writes them one by one, which Wine's console cannot join). Pipes and files keep
    // text mode and CR LF.
    static char buffers[2][1 << 16];
    int n = 0;
    for (std::FILE* stream : {stdout, stderr}) {
        const int fd = _fileno(stream);
        const HANDLE h = fd >= 0 ? reinterpret_cast<HANDLE>(_get_osfhandle(fd)) : INVALID_HANDLE_VALUE;
        if (h != INVALID_HANDLE_VALUE && GetFileType(h) == FILE_TYPE_CHAR) {
            _setmode(fd, _O_BINARY);
            std::setvbuf(stream, buffers[n], _IOFBF, sizeof buffers[n]);
            onConsole[n] = true;
        }
        ++n;
    }
}

void leaveConsole() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (consoleOutputPage != 0) SetConsoleOutputCP(std::exchange(consoleOutputPage, 0));
    if (consoleInputPage != 0) SetConsoleCP(std::exchange(consoleInputPage, 0));
}

void endLine(std::FILE* stream) {
    std::fputc('\n', stream);
    if ((stream == stdout && onConsole[0]) || (stream == stderr && onConsole[1])) std::fflush(stream);
}

}  // namespace platform
