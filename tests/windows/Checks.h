// The Windows test hosts' tiny check counter (GoogleTest is not packaged for
// the cross compiler): every check counts, failures are named at once.
#pragma once

#include <cstdio>

namespace checks {

inline int sPassed = 0;
inline int sFailed = 0;

inline void Check(bool ok, const char* what) {
    if (ok) {
        ++sPassed;
    } else {
        ++sFailed;
        std::printf("FAILED: %s\n", what);
    }
    std::fflush(stdout);
}

// Prints the closing line and gives the program's exit code.
inline int Summary() {
    std::printf("%d passed, %d failed\n", sPassed, sFailed);
    return sFailed == 0 ? 0 : 1;
}

}  // namespace checks
