// Builds fuzz inputs in the vocabulary FuzzReader reads: the seed writer's side.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

class FuzzWriter {
public:
    FuzzWriter& Byte(int b) {
        mBytes.push_back(static_cast<uint8_t>(b));
        return *this;
    }
    FuzzWriter& U16(int v) { return Byte(v & 0xFF).Byte(v >> 8 & 0xFF); }
    FuzzWriter& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    FuzzWriter& U64(uint64_t v) { return U32(static_cast<uint32_t>(v)).U32(static_cast<uint32_t>(v >> 32)); }
    FuzzWriter& Float(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return U32(bits);
    }
    FuzzWriter& Double(double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        return U64(bits);
    }
    FuzzWriter& Bytes(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        mBytes.insert(mBytes.end(), p, p + size);
        return *this;
    }
    FuzzWriter& Bytes(const std::vector<uint8_t>& bytes) { return Bytes(bytes.data(), bytes.size()); }

    const std::vector<uint8_t>& Data() const { return mBytes; }

private:
    std::vector<uint8_t> mBytes;
};
