// A property check inside a fuzz target: a failed one aborts, which the fuzzer reports as a crash
// together with the input that caused it.
#pragma once

#include <cstdlib>

namespace fuzzcheck {

inline void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace fuzzcheck
