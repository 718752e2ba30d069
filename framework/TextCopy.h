// Bounded text copies for names, labels and the texts handed to hosts. [any thread]
#pragma once

#include <cstddef>
#include <cstring>

// Copies text (null reads as "") into dest of size bytes (at least 1): cut to size - 1
// characters, always terminated. A plain copy: it runs for every parameter text at
// construction and for every text a host asks for.
inline void CopyTerminated(void* dest, const char* text, size_t size) {
    const size_t n = text ? strnlen(text, size - 1) : 0;
    if (n) std::memcpy(dest, text, n);
    static_cast<char*>(dest)[n] = 0;
}
