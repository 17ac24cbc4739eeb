#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text on the standard streams and on the command line, as this platform's programs hand it
// over: in the locale's encoding on POSIX (UTF-8 in the users' locales), in UTF-8 on Windows,
// whose console a program switches to UTF-8 when it starts (setUpConsole).
namespace platform {

QByteArray consoleBytes(const QString& text);
QString fromConsoleBytes(const QByteArray& bytes);

// At start, before anything is written. Windows: a window program started from a console
// without its streams redirected writes to that console (AttachConsole), and the console is
// switched to UTF-8. POSIX has nothing to do.
void setUpConsole();

}  // namespace platform
