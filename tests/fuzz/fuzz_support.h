// How a fuzz target reports a broken promise of the code it runs.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace tockly::fuzz {

// The fuzz targets report a broken promise by stopping here, so that
// libFuzzer keeps the input that shows it.
[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

}  // namespace tockly::fuzz
