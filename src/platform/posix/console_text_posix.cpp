#include "platform/console_text.h"
#include "platform/command_line.h"

namespace platform {

QByteArray consoleBytes(const QString& text) { return text.toLocal8Bit(); }

QString fromConsoleBytes(const QByteArray& bytes) { return QString::fromLocal8Bit(bytes); }

// POSIX hands a program its arguments, in the locale's encoding.
CommandLine programCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return joinedCommandLine(arguments);
}

void setUpConsole() {}

void leaveConsole() {}

void endLine(std::FILE* stream) { std::fputc('\n', stream); }

}  // namespace platform
