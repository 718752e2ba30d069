#include "framework/Assert.h"

#include <cstdio>
#include <cstdlib>

void AssertionFailed(const char* text, const char* source, int line) {
    std::fprintf(stderr, "Assertion failed: %s (%s, line %d)\n", text, source, line);
    std::abort();
}
