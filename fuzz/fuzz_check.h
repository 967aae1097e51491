#pragma once

#include <cstdio>

// Stops the run when `condition` does not hold, naming it; libFuzzer then keeps the input
// that broke it, as it does for a crash.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            __builtin_trap();                                                                   \
        }                                                                                       \
    } while (false)
