// How a fuzz target reports a broken property: a message libFuzzer keeps in its log, then an
// abort, which it records as a finding with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace vidmora::fuzzing {

inline void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}

}  // namespace vidmora::fuzzing
