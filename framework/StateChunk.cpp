#include "framework/StateChunk.h"

#include <cstring>

bool StateChunk::Read(int pos, void* out, int bytes) const {
    if (pos < 0 || pos > Size() - bytes) return false;
    std::memcpy(out, Data() + pos, static_cast<size_t>(bytes));
    return true;
}
