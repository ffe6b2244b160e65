#pragma once
// What a fuzz target asserts beyond the sanitizers: a broken rule ends the run at once, so the
// fuzzer keeps the input that broke it.

#include <cstdlib>

namespace n640::testing {

inline void FuzzCheck(bool ok) {
    if (!ok) std::abort();
}

}  // namespace n640::testing
