// Test runner: a real QApplication (offscreen unless told otherwise) and an end hook that
// throws, so a test can watch the program end.
#include "platform/application.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setEndHook([](int status) { throw platform::ProgramEnded{status}; });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
