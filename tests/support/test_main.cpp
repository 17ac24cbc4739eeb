// Test runner: a real QApplication (offscreen unless told otherwise) and an end hook that
// throws, so a test can watch the program end.
#include "platform/application.h"
#include "support/child_process.h"

#include <QApplication>
#include <QByteArray>
#include <cstring>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // --locale=NAME: the whole run (and every program it starts) in that locale.
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--locale=", 9) == 0) {
            const char* name = argv[i] + 9;
            qputenv("LC_ALL", name);
            qputenv("LANG", name);
            qunsetenv("LANGUAGE");
        }
    QApplication app(argc, argv);  // sets the process locale from the environment, as the programs do
    // A locale asked for and missing on this machine would run the suite in C once more.
    const QByteArray wanted = qgetenv("LC_ALL");
    if (!wanted.isEmpty() && !testsupport::runsInLocale(wanted)) {
        std::fprintf(stderr, "the locale %s is not installed (scripts/install-deps makes it)\n", wanted.constData());
        return 1;
    }
    platform::setEndHook([](int status) { throw platform::ProgramEnded{status}; });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
