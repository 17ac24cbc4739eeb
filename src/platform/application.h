#pragma once

#include <QString>
#include <functional>

// The application's own facts: the program's folder, its command-line text, its title,
// and ending the program.
namespace platform {

struct Application {
    QString path;         // folder of the program file, without a trailing separator
    QString commandLine;  // the argument text after the program's own options
    QString title = QStringLiteral("stockfix");
};

Application& App();

// Fills App() for the running program: its folder and its command-line text.
void setUpApplication(const QString& commandLine);
// Whether a window can be shown (the platform's file): on POSIX a display (X11, Wayland) or a
// Qt platform named by the environment; a Windows desktop always has one.
bool hasDisplay();
// The Qt style of the platform's own programs ("windowsvista" on Windows), or the empty text
// where desktops differ and the house's look serves (the platform's file).
QString nativeStyleName();

// Ends the program at once with `status`: no further window events, no clean-up but the
// action set with setAtEnd. The prompter may change the status: in script mode a status 0
// becomes 1 when an error was reported on the way, so that the script sees it.
// Tests install a hook that throws instead, so they can watch it happen.
[[noreturn]] void End(int status);
// The error-reporting paths (message boxes of errors, ReportError) note each report here.
void noteErrorReported();
bool errorReported();
void forgetReportedErrors();
void setEndHook(std::function<void(int)> hook);
// What must happen on every way out, before the program ends (closing the session).
void setAtEnd(std::function<void()> action);

// The exception a test's end hook may throw.
struct ProgramEnded {
    int status;
};

}  // namespace platform
