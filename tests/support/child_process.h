#pragma once

#include <QByteArray>
#include <QProcess>
#include <functional>

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

// The environment variable that moves the user's configuration folder (the one
// platform::userConfigFolder reads), so that a test can give its own.
extern const char* const kUserConfigHome;

// Whether a file can be removed while a program holds it open: POSIX unlinks it, Windows
// refuses (SQLite opens its files without sharing their deletion), so there a database cannot
// vanish under an open session.
extern const bool kOpenFilesCanBeRemoved;

// Whether a program can be handed a command line past the 32,767 characters the suite's keys
// are read up to: POSIX; Windows holds a whole command line to that length.
extern const bool kCommandLinesPastTheKeyLimit;

}  // namespace testsupport
