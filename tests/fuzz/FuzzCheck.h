#pragma once
// A property that does not hold ends the run: libFuzzer then keeps the input
// that broke it as a crash file.
#include <cstdio>
#include <cstdlib>

namespace vlmr::fuzz {

inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

}  // namespace vlmr::fuzz
