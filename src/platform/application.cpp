#include "platform/application.h"
#include "platform/console_text.h"

#include "platform/prompts.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace platform {

namespace {
std::function<void(int)> endHook;
bool anErrorWasReported = false;
std::function<void()> atEnd;
}

Application& App() {
    static Application app;
    return app;
}

void setUpApplication(const QString& commandLine) {
    App().path = QCoreApplication::applicationDirPath();
    App().commandLine = commandLine;
}

void noteErrorReported() { anErrorWasReported = true; }
bool errorReported() { return anErrorWasReported; }
void forgetReportedErrors() { anErrorWasReported = false; }

void End(int status) {
    status = prompter().finalStatus(status);
    if (endHook) endHook(status);
    if (auto action = std::exchange(atEnd, nullptr)) {
        try {
            action();
        } catch (...) {
        }
    }
    std::fflush(nullptr);
    leaveConsole();
    std::_Exit(status);
}

void setEndHook(std::function<void(int)> hook) { endHook = std::move(hook); }

void setAtEnd(std::function<void()> action) { atEnd = std::move(action); }

}  // namespace platform
