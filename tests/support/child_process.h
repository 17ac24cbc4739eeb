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

// The environment variable that moves the user's configuration folder (the one
// platform::userConfigFolder reads), so that a test can give its own.
extern const char* const kUserConfigHome;

}  // namespace testsupport
