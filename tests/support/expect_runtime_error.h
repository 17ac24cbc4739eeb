#pragma once

#include "platform/runtime_error.h"

#include <gtest/gtest.h>
#include <optional>

namespace testsupport {

// Runs `body`, expecting it to raise run-time error `number`; a failure at the caller's line
// otherwise. Returns the error raised, for its description.
template <class Body>
std::optional<platform::RuntimeError> expectRuntimeError(int number, Body&& body, const char* file = __builtin_FILE(),
                                                         int line = __builtin_LINE()) {
    try {
        body();
    } catch (const platform::RuntimeError& e) {
        if (e.number() != number) {
            ADD_FAILURE_AT(file, line) << e.what() << ", expected run-time error " << number;
        }
        return e;
    }
    ADD_FAILURE_AT(file, line) << "no run-time error, expected " << number;
    return std::nullopt;
}

}  // namespace testsupport
