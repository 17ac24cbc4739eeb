#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace testsupport {

// How test programs are started and in which locale, as the platform does it.

// Runs `inChild` in the child between its start and the program (POSIX: limits, signals);
// Windows starts programs otherwise, and its tests pass none.
void runInChild(QProcess& process, std::function<void()> inChild);

// Whether the process runs in the locale the test runner was asked for ("es_AR.UTF-8"): the
// C library's on POSIX, the user's locale on Windows (which has no C locale: there "C.UTF-8"
// is whatever else the user runs, English under Wine).
bool runsInLocale(const QByteArray& wanted);

// Whether the Windows programs run under Wine, where a few platform calls differ from
// Windows' (the README's Windows section lists them); false on POSIX.
bool runsUnderWine();

// The arguments the platform's own splitter (CommandLineToArgvW) finds in `text` put after a
// program's name; nothing on POSIX, which hands a program its arguments already split.
std::optional<QStringList> platformArgumentsOf(const QString& text);

// Whether `path` (a file or a folder) lets its owner alone in: POSIX, no permission for the
// group or others; Windows, an access list (not inherited) whose every entry is the owner's.
bool onlyTheOwnerHasAccess(const QString& path);

// The environment variable that moves the user's configuration folder (the one
// platform::userConfigFolder reads), so that a test can give its own.
extern const char* const kUserConfigHome;

// Whether a file can be removed while a program holds it open: POSIX unlinks it, Windows
// refuses (SQLite opens its files without sharing their deletion), so there a database cannot
// vanish under an open session.
extern const bool kOpenFilesCanBeRemoved;

// Whether a program can find itself without a display for its windows: POSIX (no X11, no
// Wayland); a Windows desktop always has one.
extern const bool kProgramsCanLackADisplay;

// The style the suite's windows are drawn in: Qt's name for Windows' own there, the house's
// Fusion on POSIX, whose desktops differ.
extern const char* const kWindowStyle;

// Whether a program keeps its icons among its own resources by name (Windows: its .rc);
// POSIX programs have Qt's resources only.
extern const bool kProgramIconResources;

// Whether a program can be handed a command line past the 32,767 characters the suite's keys
// are read up to: POSIX; Windows holds a whole command line to that length.
extern const bool kCommandLinesPastTheKeyLimit;

}  // namespace testsupport
