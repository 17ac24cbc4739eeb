#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>

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
// At the end (a return from main, or platform::End): the console gets back the code pages it
// had, for the programs its user runs next. POSIX has nothing to do.
void leaveConsole();

// Ends a line the program writes to `stream` (stdout or stderr). On a Windows console the line
// shows at once, since setUpConsole buffers console streams whole; elsewhere the stream's own
// buffering decides (a POSIX terminal shows lines as they end).
void endLine(std::FILE* stream);

}  // namespace platform
