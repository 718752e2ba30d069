// The plug-in's state as bytes: values appended in their in-memory (little-endian)
// form and read back by byte position. Grows in steps of 4096 bytes. Every function:
// [any thread]; a chunk is used by one thread at a time, under its owner's tags.
#pragma once

#include <cstdint>

#include "framework/GrowBuffer.h"

class StateChunk {
public:
    StateChunk() : mBuffer(4096) {}

    bool AppendDouble(double value) { return mBuffer.Append(&value, sizeof value); }
    bool AppendInt32(int32_t value) { return mBuffer.Append(&value, sizeof value); }
    bool AppendBytes(const void* data, int bytes) { return mBuffer.Append(data, bytes); }
    // Reads the value at pos; false when it does not lie wholly inside the chunk.
    bool ReadDouble(int pos, double* value) const { return Read(pos, value, sizeof *value); }
    bool ReadInt32(int pos, int32_t* value) const { return Read(pos, value, sizeof *value); }

    int Size() const { return mBuffer.Size(); }
    unsigned char* Data() { return mBuffer.Data(); }
    const unsigned char* Data() const { return mBuffer.Data(); }
    void Clear() { mBuffer.Clear(); }
    bool Resize(int size) { return mBuffer.Resize(size); }

private:
    bool Read(int pos, void* out, int bytes) const;
    GrowBuffer mBuffer;
};
