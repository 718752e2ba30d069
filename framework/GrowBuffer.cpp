#include "framework/GrowBuffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

GrowBuffer::~GrowBuffer() { std::free(mData); }

int64_t GrowBuffer::GrownCapacity(int64_t size, int64_t granularity) {
    int64_t extra = size / 2 > granularity ? size / 2 : granularity;
    if (granularity < 4096) return size + extra;
    // Large granularities work in whole pages, leaving room for an allocator's header.
    extra = extra / 4096 * 4096;
    if (extra < 4096) extra = 4096;
    if (extra > int64_t{4} * 1024 * 1024) extra = int64_t{4} * 1024 * 1024;
    return (size + extra + 96) / 4096 * 4096 - 96;
}

bool GrowBuffer::Resize(int size) {
    if (size < 0) return false;
    if (size > mCapacity) {
        int64_t capacity = GrownCapacity(size, mGranularity);
        if (capacity > INT_MAX) capacity = INT_MAX;
        void* grown = std::realloc(mData, static_cast<size_t>(capacity));
        if (!grown) return false;
        mData = static_cast<unsigned char*>(grown);
        mCapacity = static_cast<int>(capacity);
    } else if (size < mSize && size < mCapacity / 2 && size < mCapacity - 4 * mGranularity) {
        // Only an explicit shrink gives memory back, and only when most of it is unused:
        // refilling a cleared buffer must not reallocate.
        void* shrunk = std::realloc(mData, size > 0 ? static_cast<size_t>(size) : 1);
        if (shrunk) {
            mData = static_cast<unsigned char*>(shrunk);
            mCapacity = size;
        }
    }
    if (size > mSize) std::memset(mData + mSize, 0, static_cast<size_t>(size - mSize));
    mSize = size;
    return true;
}

bool GrowBuffer::AppendGrowing(const void* data, int bytes) {
    if (bytes <= 0) return bytes == 0;
    if (mSize > INT_MAX - bytes) return false;
    int at = mSize;
    if (!Resize(mSize + bytes)) return false;
    std::memcpy(mData + at, data, static_cast<size_t>(bytes));
    return true;
}
