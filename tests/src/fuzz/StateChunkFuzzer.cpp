// libFuzzer target: any bytes into effSetChunk, as a bank or a program, before or
// after effOpen, around program changes. The plug-in must answer as the chunk's
// length says, set exactly the values the chunk holds (limited to their ranges),
// keep every parameter in range with well-formed texts, and hand out a chunk that
// restores the same parameters, texts and bytes on a fresh instance.
//
// Input: a mode byte, two program numbers, then the chunk.
//
// Making an instance costs more than the rest of an input together, so instances
// are kept where nothing an input sees depends on their past. A quarter of the mode
// bytes (kLifecycle) set the chunk before effOpen or change programs, on a new
// instance each. The others reuse one
// that a whole bank chunk of the defaults puts back first: it sets every stored
// parameter and, being a bank, leaves the program slots alone, and these inputs
// never read a slot. The instance that restores the handed-out chunk is kept too:
// it only ever takes whole chunks, so it shows what a fresh one would.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/src/fuzz/FuzzHost.h"
#include "tests/src/fuzz/FuzzReader.h"
#include "tests/src/fuzz/HostView.h"

namespace {

enum Mode : uint8_t {
    kBank = 1,               // index 0: a bank chunk; otherwise a program chunk
    kBeforeOpen = 2,         // the chunk arrives before effOpen
    kProgramBefore = 4,      // effSetProgram before the chunk
    kProgramAfter = 8,       // effSetProgram after it
    kRestoreAsProgram = 16,  // the restoring instance gets the chunk as a program
    kLifecycle = 0xC0        // both bits: the three above apply, on a new instance
};

// What the plug-in must make of `chunk` over `before`: the values it reads, and
// whether it accepts the chunk (all 42 values present).
struct Expected {
    std::vector<double> values;
    bool accepted;
    int32_t version;
};

Expected Expect(const uint8_t* chunk, size_t size, const std::vector<double>& before) {
    Expected e{before, false, 0};
    const std::vector<ParamRange>& ranges = ParamRanges();
    size_t pos = 0;
    int32_t tag = 0;
    if (size >= 4) std::memcpy(&tag, chunk, 4);
    if (size >= 4 && tag == 0x70666674) {
        if (size < 8) return e;  // a tag without its version: nothing is read
        std::memcpy(&e.version, chunk + 4, 4);
        pos = 8;
    }
    for (int i = 0; i < kHostParams; ++i) {
        double v = 0.0;
        const bool present = pos + 8 <= size;
        if (present) std::memcpy(&v, chunk + pos, 8);
        e.values[i] = Limited(v, ranges[i]);
        if (!present) return e;
        pos += 8;
    }
    e.accepted = true;
    return e;
}

std::vector<double> Values(const std::vector<uint8_t>& chunk) {
    std::vector<double> v;
    for (int i = 0; i < kHostParams; ++i) v.push_back(ChunkValue(chunk, i));
    return v;
}

void ExpectValues(const std::vector<uint8_t>& chunk, const std::vector<double>& expected, const char* when) {
    for (int i = 0; i < kHostParams; ++i) {
        const double v = ChunkValue(chunk, i);
        if (std::memcmp(&v, &expected[i], sizeof v) != 0)
            FuzzFail("%s: parameter %d holds %.17g, expected %.17g", when, i, v, expected[i]);
    }
}

FuzzHost gA, gB;
bool gAOpened = false, gBOpened = false;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ParamRanges();  // learned before the first input, outside its coverage
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader in(data, size);
    uint8_t mode = in.Byte();
    const bool fresh = (mode & kLifecycle) == kLifecycle;
    if (!fresh) mode &= ~(kBeforeOpen | kProgramBefore | kProgramAfter);
    const int programBefore = in.Pick(kPrograms), programAfter = in.Pick(kPrograms);
    size_t chunkSize = 0;
    const uint8_t* chunk = in.Rest(&chunkSize);
    // The host's copy of the bytes, exactly as long as it says.
    std::vector<uint8_t> bytes(chunk, chunk + chunkSize);
    const bool bank = mode & kBank;

    if (fresh || !gAOpened) {
        gA.Create();
        gAOpened = false;
    } else if (SetChunk(gA, true, DefaultChunk().data(), DefaultChunk().size()) != 1) {
        FuzzFail("the defaults' chunk was refused");
    }
    if (!(mode & kBeforeOpen) && !gAOpened) gA.Start(44100.0, 512);
    gAOpened = !fresh;
    if (mode & kProgramBefore) gA.Dispatch(vst2::effSetProgram, 0, programBefore);
    const std::vector<double> before = Values(DefaultChunk());
    const Expected e = Expect(bytes.data(), bytes.size(), before);
    // An empty chunk comes as a valid address and a size of 0, as a host's empty buffer does.
    uint8_t none = 0;
    const intptr_t answer = SetChunk(gA, bank, bytes.empty() ? &none : bytes.data(), bytes.size());
    if (answer != (e.accepted ? 1 : 0))
        FuzzFail("effSetChunk of %zu bytes answered %zd", bytes.size(), static_cast<ssize_t>(answer));
    if (mode & kBeforeOpen) gA.Start(44100.0, 512);

    std::vector<double> expected = e.values;
    if (mode & kProgramAfter) {
        gA.Dispatch(vst2::effSetProgram, 0, programAfter);
        // Back to the slot chosen before: it holds the chunk's values, unless a whole bank
        // (version 1 or later) came in, which leaves the slot as it was.
        const bool captured = !bank || e.version < 0x00010000;
        if ((mode & kProgramBefore) && programAfter == programBefore && !captured) expected = before;
    }
    const HostSnapshot a = Snapshot(gA, "after the chunk");
    ExpectValues(a.chunk, expected, "after the chunk");
    if (GetChunk(gA, true) != a.chunk) FuzzFail("bank and program chunks differ");

    if (!gBOpened) {
        gB.Create();
        gB.Start(44100.0, 512);
        gBOpened = true;
    }
    const bool asProgram = mode & kRestoreAsProgram;
    if (SetChunk(gB, !asProgram, a.chunk.data(), a.chunk.size()) != 1)
        FuzzFail("a fresh instance refused the chunk the first handed out");
    ExpectSame(a, Snapshot(gB, "restored"), "restored on a fresh instance");
    return 0;
}
