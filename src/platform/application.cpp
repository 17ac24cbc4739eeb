#include "platform/application.h"

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

void End(int status) {
    if (endHook) endHook(status);
    std::fflush(nullptr);
    std::_Exit(status);
}

void setEndHook(std::function<void(int)> hook) { endHook = std::move(hook); }

}  // namespace platform
