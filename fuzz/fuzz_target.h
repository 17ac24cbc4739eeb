#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A fuzz target is one function over a buffer of bytes. Built with clang's libFuzzer it is
// the fuzzer's entry point; in the ordinary build the corpus replay test calls it by name.
// Under libFuzzer the process starts the way the programs start: a Qt application object
// sets the process locale from the environment (scripts/fuzz runs each target in C.UTF-8
// and in es_AR.UTF-8).
#ifdef STOCKFIX_LIBFUZZER
#include <QCoreApplication>
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}
#define STOCKFIX_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#else
#define STOCKFIX_FUZZ_TARGET(name) int fuzz_##name(const uint8_t* data, size_t size)
#endif

// A broken property: report it and stop, so the fuzzer keeps the input (and a test fails).
#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)
