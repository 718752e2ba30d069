// A growable array of plain records (pointers, messages, small structs) over
// GrowBuffer, so every list in the program grows by the same rule. Every function:
// [any thread]; an array is used by one thread at a time, under its owner's tags.
#pragma once

#include <climits>
#include <cstring>
#include <type_traits>

#include "framework/GrowBuffer.h"

template <typename T>
class GrowArray {
    static_assert(std::is_trivially_copyable<T>::value, "GrowArray holds plain records only");

public:
    explicit GrowArray(int granularityBytes = 256) : mBuffer(granularityBytes) {}

    int Count() const { return mBuffer.Size() / static_cast<int>(sizeof(T)); }
    T* Data() { return reinterpret_cast<T*>(mBuffer.Data()); }
    const T* Data() const { return reinterpret_cast<const T*>(mBuffer.Data()); }
    T& operator[](int i) { return Data()[i]; }
    const T& operator[](int i) const { return Data()[i]; }
    // Null when i is outside the array.
    T* At(int i) { return i >= 0 && i < Count() ? Data() + i : nullptr; }

    bool Add(const T& item) { return mBuffer.Append(&item, static_cast<int>(sizeof(T))); }
    // False (and nothing changed) for a count whose bytes do not fit an int, or without memory.
    bool Resize(int count) {
        return count >= 0 && count <= INT_MAX / static_cast<int>(sizeof(T)) &&
               mBuffer.Resize(count * static_cast<int>(sizeof(T)));
    }
    // Keeps the storage: a cleared array refills without allocating.
    void Clear() { mBuffer.Clear(); }
    void RemoveAt(int i) {
        if (i < 0 || i >= Count()) return;
        std::memmove(Data() + i, Data() + i + 1, sizeof(T) * static_cast<size_t>(Count() - i - 1));
        mBuffer.Resize(mBuffer.Size() - static_cast<int>(sizeof(T)));
    }

private:
    GrowBuffer mBuffer;
};
