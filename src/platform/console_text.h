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

// The program's arguments after its name: argv decoded on POSIX; on Windows the wide
// command line, where argv holds only the ANSI code page's approximation of it.
QStringList programArguments(int argc, char** argv);

// At start, before anything is written: Windows switches the console, when there is one, to
// UTF-8; POSIX has nothing to do.
void setUpConsole();

}  // namespace platform
