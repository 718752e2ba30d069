// What a host sees of an instance, read back through the interface and checked:
// the state chunk, the normalized parameters, and every text the host reads, each
// into a buffer of the size a host may rely on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/vsthost/VstHost.h"

constexpr int kHostParams = 42;  // in the state chunk
constexpr int kAllParams = 46;   // the internal ones answer the parameter calls too
constexpr int kPrograms = 6;
constexpr size_t kChunkSize = 8 + 8 * kHostParams;

// Text buffer sizes. The interface promises 8 bytes for parameter labels and displays
// and 24 for program names. Parameter names get 32: this plug-in's names run to 10
// characters, which hosts take from the larger buffers they all pass (a deliberate
// choice of the binding); the parameter model keeps every name within 31.
constexpr size_t kParamNameSize = 32;
constexpr size_t kParamTextSize = 8;
constexpr size_t kProgramNameSize = 24;

struct ParamRange {
    double min;
    double max;
};

// Each host parameter's plain range, learned once per process from a fresh
// instance by setting it to normalized 0 and 1 and reading its chunk back.
const std::vector<ParamRange>& ParamRanges();
// The program chunk of a fresh, opened instance.
const std::vector<uint8_t>& DefaultChunk();

// The chunk the plug-in hands out, copied; fails the input unless it is the
// tagged 344-byte chunk. A bank read stores the current program, as hosts expect.
std::vector<uint8_t> GetChunk(VstHost& host, bool bank);
intptr_t SetChunk(VstHost& host, bool bank, const void* data, size_t size);
double ChunkValue(const std::vector<uint8_t>& chunk, int index);
// A plain value as the plug-in stores it from a chunk: limited to the range, NaN to its minimum.
double Limited(double value, const ParamRange& range);

// Everything a host reads back from an instance.
struct HostSnapshot {
    std::vector<uint8_t> chunk;
    std::vector<float> normalized;          // kAllParams
    std::vector<std::string> paramTexts;    // name, label and display of each parameter
    std::vector<std::string> programNames;  // the current one, then each slot's
};

// Reads everything back and fails the input unless every plain value lies in its
// range, every normalized value matches it, and every text is terminated within
// its buffer and printable, with nothing written past the buffer. Program names the
// host set (hostNames) come back as the host wrote them, so only their terminator
// counts. `when` names the moment for the failure message.
HostSnapshot Snapshot(VstHost& host, const char* when, bool hostNames = false);
// Fails the input, naming the first difference, unless both hold the same parameters
// (chunk, normalized values and texts; program names may differ).
void ExpectSame(const HostSnapshot& a, const HostSnapshot& b, const char* what);
