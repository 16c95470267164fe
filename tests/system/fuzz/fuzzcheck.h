#pragma once

#include <cstdio>
#include <cstdlib>

// A property that does not hold is a crash to the fuzzer: it keeps the input that broke it and
// the replay test fails on it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
