#include "tests/src/fuzz/HostView.h"

#include <cmath>
#include <cstring>

#include "tests/src/fuzz/FuzzHost.h"
#include "tests/src/fuzz/GuardedBuffer.h"

namespace {

// The tag and version every chunk the plug-in hands out starts with.
const uint8_t kHeader[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};

struct Learned {
    std::vector<ParamRange> ranges;
    std::vector<uint8_t> defaults;
};

const Learned& Learn() {
    static const Learned learned = [] {
        Learned l;
        FuzzHost host;
        host.Create();
        host.Start(44100.0, 512);
        l.defaults = GetChunk(host, false);
        for (int i = 0; i < kHostParams; ++i) {
            host.SetParameter(i, 0.0f);
            const double min = ChunkValue(GetChunk(host, false), i);
            host.SetParameter(i, 1.0f);
            const double max = ChunkValue(GetChunk(host, false), i);
            if (!(min < max)) FuzzFail("parameter %d learned an empty range %g..%g", i, min, max);
            l.ranges.push_back({min, max});
        }
        host.Stop();
        return l;
    }();
    return learned;
}

// Reads one text through `opcode` into a buffer of `size`, checks it and appends it.
void ReadText(VstHost& host, int32_t opcode, int index, size_t size, const char* what, std::vector<std::string>& out,
              bool hostText = false) {
    GuardedBuffer buffer(size);
    host.Dispatch(opcode, index, 0, buffer.Data());
    buffer.Check(what);
    if (buffer.Untouched(0xCC)) {
        out.push_back("(untouched)");
        return;
    }
    CheckText(buffer.Data(), size, what, index, hostText);
    out.push_back(reinterpret_cast<const char*>(buffer.Data()));
}

}  // namespace

const std::vector<ParamRange>& ParamRanges() { return Learn().ranges; }

const std::vector<uint8_t>& DefaultChunk() { return Learn().defaults; }

std::vector<uint8_t> GetChunk(VstHost& host, bool bank) {
    GuardedBuffer where(sizeof(void*), 0);
    const intptr_t size = host.Dispatch(vst2::effGetChunk, bank ? 0 : 1, 0, where.Data());
    where.Check("effGetChunk");
    void* data = nullptr;
    std::memcpy(&data, where.Data(), sizeof data);
    if (size != static_cast<intptr_t>(kChunkSize) || !data)
        FuzzFail("effGetChunk (%s) gave %zd bytes at %p", bank ? "bank" : "program", static_cast<ssize_t>(size), data);
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (std::memcmp(bytes, kHeader, sizeof kHeader) != 0) FuzzFail("effGetChunk gave a chunk without its header");
    return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t SetChunk(VstHost& host, bool bank, const void* data, size_t size) {
    return host.Dispatch(vst2::effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(size), const_cast<void*>(data));
}

double ChunkValue(const std::vector<uint8_t>& chunk, int index) {
    double value = 0.0;
    std::memcpy(&value, chunk.data() + 8 + 8 * index, sizeof value);
    return value;
}

double Limited(double value, const ParamRange& range) {
    if (!(value >= range.min)) return range.min;
    return value > range.max ? range.max : value;
}

HostSnapshot Snapshot(VstHost& host, const char* when, bool hostNames) {
    HostSnapshot s;
    s.chunk = GetChunk(host, false);
    const std::vector<ParamRange>& ranges = ParamRanges();
    for (int i = 0; i < kAllParams; ++i) {
        const float n = host.GetParameter(i);
        if (!(n >= 0.0f && n <= 1.0f)) FuzzFail("%s: parameter %d reads %g", when, i, n);
        s.normalized.push_back(n);
        if (i >= kHostParams) continue;
        const double v = ChunkValue(s.chunk, i);
        const ParamRange& r = ranges[i];
        if (!(v >= r.min && v <= r.max))
            FuzzFail("%s: parameter %d holds %g, outside %g..%g", when, i, v, r.min, r.max);
        const float expected = static_cast<float>((v - r.min) / (r.max - r.min));
        if (n != expected) FuzzFail("%s: parameter %d holds %g but reads %g, not %g", when, i, v, n, expected);
    }
    for (int i = 0; i < kAllParams; ++i) {
        ReadText(host, vst2::effGetParamName, i, kParamNameSize, "effGetParamName", s.paramTexts);
        ReadText(host, vst2::effGetParamLabel, i, kParamTextSize, "effGetParamLabel", s.paramTexts);
        ReadText(host, vst2::effGetParamDisplay, i, kParamTextSize, "effGetParamDisplay", s.paramTexts);
    }
    ReadText(host, vst2::effGetProgramName, 0, kProgramNameSize, "effGetProgramName", s.programNames, hostNames);
    for (int i = 0; i < kPrograms; ++i)
        ReadText(host, vst2::effGetProgramNameIndexed, i, kProgramNameSize, "effGetProgramNameIndexed", s.programNames,
                 hostNames);
    return s;
}

void ExpectSame(const HostSnapshot& a, const HostSnapshot& b, const char* what) {
    for (size_t i = 0; i < a.chunk.size() && i < b.chunk.size(); ++i)
        if (a.chunk[i] != b.chunk[i]) FuzzFail("%s: chunks differ at byte %zu", what, i);
    if (a.chunk.size() != b.chunk.size()) FuzzFail("%s: chunks differ in size", what);
    for (int i = 0; i < kAllParams; ++i)
        if (a.normalized[i] != b.normalized[i])
            FuzzFail("%s: parameter %d reads %g and %g", what, i, a.normalized[i], b.normalized[i]);
    for (size_t i = 0; i < a.paramTexts.size(); ++i)
        if (a.paramTexts[i] != b.paramTexts[i])
            FuzzFail("%s: parameter %zu's %s is \"%s\" and \"%s\"", what, i / 3,
                     i % 3 == 0   ? "name"
                     : i % 3 == 1 ? "label"
                                  : "display",
                     a.paramTexts[i].c_str(), b.paramTexts[i].c_str());
}
