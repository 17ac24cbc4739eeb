#include "platform/console_text.h"

namespace platform {

QByteArray consoleBytes(const QString& text) { return text.toLocal8Bit(); }

QString fromConsoleBytes(const QByteArray& bytes) { return QString::fromLocal8Bit(bytes); }

QStringList programArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void setUpConsole() {}

}  // namespace platform
