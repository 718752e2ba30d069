// Invariant checks that stop the program with the failed condition's text and
// the source it belongs to. They guard programming errors only: no host input
// reaches one of them.
#pragma once

// [any thread]
[[noreturn]] void AssertionFailed(const char* text, const char* source, int line);

#define TAMB_ASSERT(cond, text, source)                           \
    do {                                                          \
        if (!(cond)) AssertionFailed((text), (source), __LINE__); \
    } while (0)
