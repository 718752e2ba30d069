// A growable byte buffer with the program's one growth rule: a resize that needs
// room takes the requested size plus the larger of the granularity and half the
// requested size, so repeated appends cost amortised constant time and a buffer
// that has reached its working size never allocates again. Every function: [any thread];
// a buffer is used by one thread at a time, under its owner's tags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class GrowBuffer {
public:
    explicit GrowBuffer(int granularity = 256) : mGranularity(granularity > 0 ? granularity : 1) {}
    ~GrowBuffer();
    GrowBuffer(const GrowBuffer&) = delete;
    GrowBuffer& operator=(const GrowBuffer&) = delete;

    // Sets the size; new bytes are zero. False (and nothing changed) when the
    // size is negative or memory cannot be obtained.
    bool Resize(int size);
    // Appends bytes at the end; false when memory cannot be obtained. Inline while the
    // capacity holds them: appending to a reserved buffer is a copy and nothing more.
    bool Append(const void* data, int bytes) {
        if (bytes <= 0 || bytes > mCapacity - mSize) return AppendGrowing(data, bytes);
        std::memcpy(mData + mSize, data, static_cast<size_t>(bytes));
        mSize += bytes;
        return true;
    }
    void Clear() { mSize = 0; }

    int Size() const { return mSize; }
    int Capacity() const { return mCapacity; }
    // Null while empty.
    unsigned char* Data() { return mSize > 0 ? mData : nullptr; }
    const unsigned char* Data() const { return mSize > 0 ? mData : nullptr; }

    // The capacity a resize to `size` asks for when it must grow; in 64 bits, as it may
    // pass the int limit (long is 32 bits on 64-bit Windows).
    static int64_t GrownCapacity(int64_t size, int64_t granularity);

private:
    bool AppendGrowing(const void* data, int bytes);

    unsigned char* mData = nullptr;
    int mSize = 0;
    int mCapacity = 0;
    int mGranularity;
};
