#include "platform/application.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
std::function<void(int)> endHook;
}

Application& App() {
    static Application app;
    return app;
}

void setUpApplication(const QString& commandLine) {
    App().path = QCoreApplication::applicationDirPath();
    App().commandLine = commandLine;
}

bool hasDisplay() {
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

void End(int status) {
    if (endHook) endHook(status);
    std::fflush(nullptr);
    std::_Exit(status);
}

void setEndHook(std::function<void(int)> hook) { endHook = std::move(hook); }

}  // namespace platform
