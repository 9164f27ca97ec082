#pragma once

// The fuzz targets' one way to fail: print what broke and abort, which libFuzzer (and the
// corpus replay in the normal test run) reports as a crash with the input that caused it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                              \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "%s:%d: fuzz invariant failed: %s\n", __FILE__, __LINE__,   \
                         #condition);                                                        \
            std::abort();                                                                    \
        }                                                                                    \
    } while (false)
