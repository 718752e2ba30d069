// Reads a fuzz input from the front as a stream of choices. An exhausted input
// reads as zeros, so every byte string decodes to some host session, and the
// seed writer can build inputs with the same vocabulary (FuzzWriter).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzReader {
public:
    FuzzReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    bool Empty() const { return mPos >= mSize; }
    size_t Remaining() const { return mSize - mPos; }

    uint8_t Byte() { return mPos < mSize ? mData[mPos++] : 0; }
    // Little-endian. The low part is read first into its own variable: the two operands
    // of one expression may be evaluated in either order, which would change what a
    // seed means from one compiler to another.
    uint16_t U16() {
        const uint16_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    uint32_t U32() {
        const uint32_t low = U16();
        return low | static_cast<uint32_t>(U16()) << 16;
    }
    uint64_t U64() {
        const uint64_t low = U32();
        return low | static_cast<uint64_t>(U32()) << 32;
    }
    bool Bool() { return Byte() & 1; }
    // 0..count-1 from one byte.
    int Pick(int count) { return count > 0 ? Byte() % count : 0; }
    // One of a table's entries, by one byte.
    template <typename T, size_t N>
    const T& PickFrom(const T (&table)[N]) {
        return table[Pick(static_cast<int>(N))];
    }
    // Every bit pattern, NaNs and infinities included.
    float RawFloat() {
        uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    double RawDouble() {
        uint64_t bits = U64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Up to `count` bytes; fewer when the input ends. Returns how many were copied.
    size_t Bytes(void* out, size_t count) {
        size_t n = count < Remaining() ? count : Remaining();
        if (n) std::memcpy(out, mData + mPos, n);
        mPos += n;
        return n;
    }
    // The rest of the input, consumed.
    const uint8_t* Rest(size_t* size) {
        *size = Remaining();
        const uint8_t* rest = mData + mPos;
        mPos = mSize;
        return rest;
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};
