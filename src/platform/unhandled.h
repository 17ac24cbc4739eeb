#pragma once

#include "platform/runtime_error.h"

namespace platform {

// An error that no handler took: a box with the error's number and description, then the
// program ends with status 1.
[[noreturn]] void ReportUnhandled(const RuntimeError& e);
QString unhandledText(const RuntimeError& e);

// Runs an event handler that has no error handling of its own.
template <class Handler>
void NoHandler(Handler&& run) {
    try {
        run();
    } catch (const std::exception& e) {
        ReportUnhandled(RuntimeError::fromException(e));
    }
}

}  // namespace platform
