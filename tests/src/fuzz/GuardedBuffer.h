// A host buffer of exactly the size the interface promises, followed by guard
// bytes. Under AddressSanitizer the guard is poisoned, so a write past the
// buffer stops at the faulting instruction; elsewhere Check finds it afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

class GuardedBuffer {
public:
    static constexpr size_t kGuard = 64;
    static constexpr uint8_t kGuardByte = 0xA5;

    // `size` bytes filled with `fill`.
    explicit GuardedBuffer(size_t size, uint8_t fill = 0xCC);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    // Refills the buffer (not the guard).
    void Fill(uint8_t fill);
    uint8_t* Data() { return mData; }
    const uint8_t* Data() const { return mData; }
    size_t Size() const { return mSize; }
    // Fails the input when a guard byte changed; `what` names the call.
    void Check(const char* what) const;
    // Whether the buffer still holds `fill` in every byte.
    bool Untouched(uint8_t fill) const;

private:
    uint8_t* mData;
    size_t mSize;
};

// A NUL within `size` bytes, and only printable ASCII before it (any bytes but NUL when
// the text is the host's own, handed back). Fails the input otherwise.
void CheckText(const void* text, size_t size, const char* what, int index, bool hostText = false);
