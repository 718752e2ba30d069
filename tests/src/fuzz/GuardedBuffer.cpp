#include "tests/src/fuzz/GuardedBuffer.h"

#include <cstring>

#include "tests/src/fuzz/FuzzHost.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define GUARD_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define GUARD_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#endif
#endif
#ifndef GUARD_POISON
#define GUARD_POISON(p, n) ((void)(p), (void)(n))
#define GUARD_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

GuardedBuffer::GuardedBuffer(size_t size, uint8_t fill) : mData(new uint8_t[size + kGuard]), mSize(size) {
    std::memset(mData, fill, size);
    std::memset(mData + size, kGuardByte, kGuard);
    GUARD_POISON(mData + size, kGuard);
}

GuardedBuffer::~GuardedBuffer() {
    GUARD_UNPOISON(mData + mSize, kGuard);
    delete[] mData;
}

void GuardedBuffer::Fill(uint8_t fill) { std::memset(mData, fill, mSize); }

void GuardedBuffer::Check(const char* what) const {
    GUARD_UNPOISON(mData + mSize, kGuard);
    for (size_t i = 0; i < kGuard; ++i)
        if (mData[mSize + i] != kGuardByte)
            FuzzFail("%s wrote byte %zu past the end of a %zu-byte buffer", what, i, mSize);
    GUARD_POISON(mData + mSize, kGuard);
}

bool GuardedBuffer::Untouched(uint8_t fill) const {
    for (size_t i = 0; i < mSize; ++i)
        if (mData[i] != fill) return false;
    return true;
}

void CheckText(const void* text, size_t size, const char* what, int index, bool hostText) {
    const auto* bytes = static_cast<const uint8_t*>(text);
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] == 0) return;
        if (!hostText && (bytes[i] < 0x20 || bytes[i] > 0x7E))
            FuzzFail("%s %d: byte %zu of the text is 0x%02X, not printable", what, index, i, bytes[i]);
    }
    FuzzFail("%s %d: no terminator within %zu bytes", what, index, size);
}
