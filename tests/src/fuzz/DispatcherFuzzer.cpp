// libFuzzer target: the dispatcher, opcodes 0 to 80, with interesting index, value and
// float arguments, and pointers that are null or buffers of exactly the size the
// interface promises for the opcode, guard bytes after each. Parameter calls and
// stopped process blocks come between. After every call: nothing written past a
// buffer, nothing written into a buffer the opcode only reads or does not use, texts
// terminated and printable, records filled only where the interface says, and every
// parameter inside its range; at the end everything a host reads back is checked.
//
// Built a second time with TAMBORELLE_FUZZ_ALLOCATION_FAILURES: the allocator then
// refuses anything above 32 MB instead of stopping the process (libFuzzer itself needs
// 20 MB at once), and block sizes and chunks go beyond that, so the plug-in's answers
// to memory it cannot have run.
//
// Every input starts by putting a kept instance back to a known state through the
// interface (sample rate, block size, channel connections, program slots and names,
// parameters), since making an instance costs more than a whole input. Inputs whose
// first byte has its three top bits set get a new instance instead, opened or not;
// the instance after them is not kept. effClose is left out: the input would end.
#include <sys/mman.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "tests/src/fuzz/FuzzHost.h"
#include "tests/src/fuzz/FuzzReader.h"
#include "tests/src/fuzz/GuardedBuffer.h"
#include "tests/src/fuzz/HostView.h"
#include "tools/vsthost/VstEventList.h"

#if defined(TAMBORELLE_FUZZ_ALLOCATION_FAILURES)
// Refused allocations come back as null, as they do where memory runs out.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=32"; }
constexpr bool kAllocationFailures = true;
#else
constexpr bool kAllocationFailures = false;
#endif

namespace {

constexpr int kMaxCalls = 64;
constexpr uint8_t kLifecycle = 0xE0;
constexpr uint8_t kFill = 0xCC;  // what a buffer holds before the call
// Chunks the host hands over may be this long; beyond what the allocator gives only
// when allocations may fail.
constexpr size_t kLargeChunk = kAllocationFailures ? size_t{64} << 20 : size_t{64} << 10;

const int32_t kIndices[] = {-1, 0, 1, 2, 5, 6, 7, 8, 41, 42, 45, 46, 47, 1000, INT32_MIN, INT32_MAX};
const intptr_t kValues[] = {
    0, 1, 2, -1, 5, 6, 7, 512, 4096, 1 << 16, 1 << 24, (1 << 24) + 1, INT32_MAX, INT32_MIN, INTPTR_MAX, INTPTR_MIN};
const float kOpts[] = {0.0f,     1.0f,      0.5f,    44100.0f, 48000.0f, -1.0f, NAN,
                       INFINITY, -INFINITY, 1.0e30f, -0.0f,    2.0f,     1e-40f};
const char* const kCanDos[] = {"receiveVstTimeInfo",
                               "sendVstEvents",
                               "sendVstMidiEvent",
                               "receiveVstEvents",
                               "receiveVstMidiEvent",
                               "bypass",
                               "",
                               "sendVstMidiEventFlagIsRealtime"};

// How an opcode uses its pointer (and, for two of them, its value).
enum class Use {
    None,         // nothing: a buffer given must stay as it is
    TextOut,      // writes a terminated text into a buffer of `size`
    PinOut,       // fills a VstPinProperties' label and flags
    KeyNameOut,   // fills a MidiKeyName's key name
    AddressOut,   // stores an address into the pointer-sized buffer
    TextIn,       // reads a text the host wrote (effCanDo: terminated; effSetProgramName: maybe not)
    BytesIn,      // effSetChunk: reads `value` bytes
    Events,       // effProcessEvents: a VstEvents
    Arrangements  // effSetSpeakerArrangement: VstSpeakerArrangement in value and pointer
};

struct Shape {
    Use use;
    size_t size;
};

Shape ShapeOf(int32_t opcode, int32_t index) {
    switch (opcode) {
    case vst2::effGetProgramName:
    case vst2::effGetProgramNameIndexed: return {Use::TextOut, kProgramNameSize};
    case vst2::effGetParamLabel:
    case vst2::effGetParamDisplay: return {Use::TextOut, kParamTextSize};
    case vst2::effGetParamName: return {Use::TextOut, kParamNameSize};
    case vst2::effGetEffectName: return {Use::TextOut, 32};
    case vst2::effGetVendorString:
    case vst2::effGetProductString: return {Use::TextOut, 64};
    // A parameter's display for a value, asked by one host through its own call.
    case vst2::effVendorSpecific: return index == 7 ? Shape{Use::TextOut, 64} : Shape{Use::None, 256};
    case vst2::effGetInputProperties:
    case vst2::effGetOutputProperties: return {Use::PinOut, sizeof(vst2::VstPinProperties)};
    case vst2::effGetMidiKeyName: return {Use::KeyNameOut, sizeof(vst2::MidiKeyName)};
    case vst2::effEditGetRect:
    case vst2::effGetChunk:
    case vst2::effGetSpeakerArrangement: return {Use::AddressOut, sizeof(void*)};
    case vst2::effSetProgramName: return {Use::TextIn, kProgramNameSize};
    case vst2::effCanDo:
    case vst2::effString2Parameter: return {Use::TextIn, 0};  // as long as the text
    case vst2::effSetChunk: return {Use::BytesIn, 0};
    case vst2::effProcessEvents: return {Use::Events, 0};
    case vst2::effSetSpeakerArrangement: return {Use::Arrangements, sizeof(vst2::VstSpeakerArrangement)};
    default: return {Use::None, 256};
    }
}

struct Instance {
    FuzzHost host;
    bool kept = false;
    bool slotsTouched = true;  // a call may have changed a program slot since the last reset
    int outputsConnected = 2;  // as the last speaker arrangement set them
};
Instance gInstance;
VstEventList gEvents;
vst2::VstEvent gForeign[16];

// A host buffer of many megabytes whose pages cost nothing until touched.
uint8_t* LargeChunkBuffer() {
    static uint8_t* buffer = [] {
        void* p =
            mmap(nullptr, kLargeChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == MAP_FAILED) FuzzFail("no room for the large chunk buffer");
        return static_cast<uint8_t*>(p);
    }();
    return buffer;
}

intptr_t Value(FuzzReader& in) {
    switch (in.Pick(4)) {
    case 0: return static_cast<intptr_t>(in.U64());
    case 1: return in.Byte();
    default: return in.PickFrom(kValues);
    }
}

int32_t Index(FuzzReader& in) {
    switch (in.Pick(4)) {
    case 0: return static_cast<int32_t>(in.U32());
    case 1: return in.Pick(50) - 2;
    default: return in.PickFrom(kIndices);
    }
}

float Opt(FuzzReader& in) { return in.Pick(4) == 0 ? in.RawFloat() : in.PickFrom(kOpts); }

// Block sizes a host may announce; huge ones only when allocations may fail.
intptr_t BlockSize(intptr_t value) {
    if (kAllocationFailures || value <= (1 << 16)) return value;
    return value % (1 << 16);
}

void CheckParametersInRange(FuzzHost& host, const char* when) {
    for (int i = 0; i < kAllParams; ++i) {
        const float n = host.GetParameter(i);
        if (!(n >= 0.0f && n <= 1.0f)) FuzzFail("%s: parameter %d reads %g", when, i, n);
    }
}

void CheckUntouched(const GuardedBuffer& b, const char* what, int32_t opcode) {
    if (!b.Untouched(kFill)) FuzzFail("opcode %d wrote into %s it has no use for", opcode, what);
}

// The record an effGetSpeakerArrangement answer points at must be readable and sound.
void CheckArrangementAt(const uint8_t* where, const char* which) {
    const vst2::VstSpeakerArrangement* a = nullptr;
    std::memcpy(&a, where, sizeof a);
    if (!a) FuzzFail("effGetSpeakerArrangement stored a null %s arrangement", which);
    const vst2::VstSpeakerArrangement copy = *a;  // readable as a whole
    if (copy.numChannels < 0 || copy.numChannels > 8)
        FuzzFail("effGetSpeakerArrangement: %s arrangement of %d channels", which, copy.numChannels);
}

void CheckAddressOut(int32_t opcode, intptr_t answer, const GuardedBuffer& b) {
    if (b.Untouched(kFill)) {
        if (opcode == vst2::effGetChunk && answer != 0)
            FuzzFail("effGetChunk answered %zd but gave no address", answer);
        return;
    }
    const void* address = nullptr;
    std::memcpy(&address, b.Data(), sizeof address);
    switch (opcode) {
    case vst2::effEditGetRect: {
        if (answer != 1 || !address) FuzzFail("effEditGetRect answered %zd with address %p", answer, address);
        const vst2::ERect r = *static_cast<const vst2::ERect*>(address);
        if (r.top != 0 || r.left != 0 || r.bottom <= 0 || r.right <= 0)
            FuzzFail("editor rectangle %d,%d,%d,%d", r.top, r.left, r.bottom, r.right);
        break;
    }
    case vst2::effGetChunk: {
        if (answer <= 0 || !address) FuzzFail("effGetChunk answered %zd with address %p", answer, address);
        // Every byte readable: a checksum the compiler cannot drop.
        volatile uint8_t sum = 0;
        for (intptr_t i = 0; i < answer; ++i) sum = sum + static_cast<const uint8_t*>(address)[i];
        break;
    }
    default: CheckArrangementAt(b.Data(), "output"); break;
    }
}

void CheckTextOut(int32_t opcode, int32_t index, const GuardedBuffer& b) {
    if (b.Untouched(kFill)) return;
    const bool parameterText =
        opcode == vst2::effGetParamLabel || opcode == vst2::effGetParamDisplay || opcode == vst2::effGetParamName;
    if (parameterText && (index < 0 || index >= kAllParams))
        FuzzFail("opcode %d wrote a text for parameter %d, which does not exist", opcode, index);
    // Program names are the host's own once it set one: any bytes, terminated.
    const bool programName = opcode == vst2::effGetProgramName || opcode == vst2::effGetProgramNameIndexed;
    CheckText(b.Data(), b.Size(), "text of opcode", opcode, programName);
}

// Fills and sends a VstEvents of fuzzed events; passed-through ones come back to the host.
intptr_t SendEvents(FuzzHost& host, FuzzReader& in, int32_t index, intptr_t value, float opt) {
    gEvents.Clear();
    uint8_t sysex[16][16];
    const int count = in.Pick(17);
    for (int i = 0; i < count; ++i) {
        const int32_t offset = in.Pick(2) ? in.U16() % 1024 : static_cast<int32_t>(in.U32());
        switch (in.Pick(8)) {
        case 0: {
            const size_t size = 1 + in.Pick(16);
            in.Bytes(sysex[i], size);
            gEvents.AddSysex(offset, sysex[i], static_cast<int32_t>(size));
            break;
        }
        case 1:
            gForeign[i] = vst2::VstEvent{};
            gForeign[i].type = static_cast<int32_t>(in.U32());
            if (gForeign[i].type == vst2::kVstMidiType) gForeign[i].type = 0;
            gForeign[i].byteSize = static_cast<int32_t>(sizeof(vst2::VstEvent));
            gForeign[i].deltaFrames = offset;
            gEvents.Add(&gForeign[i]);
            break;
        case 2: gEvents.Add(nullptr); break;
        default: {
            const uint8_t status = in.Byte(), data1 = in.Byte(), data2 = in.Byte();
            gEvents.AddMidi(offset, status, data1, data2);
            break;
        }
        }
    }
    return host.Dispatch(vst2::effProcessEvents, index, value, gEvents.Events(), opt);
}

// One dispatcher call shaped by the input, with its checks. Returns its opcode.
int32_t Call(FuzzHost& host, FuzzReader& in) {
    int32_t opcode = in.Pick(81);
    if (opcode == vst2::effClose) opcode = vst2::effIdentify;
    const int32_t index = Index(in);
    intptr_t value = Value(in);
    const float opt = Opt(in);
    const Shape shape = ShapeOf(opcode, index);
    const bool withPointer = in.Pick(8) != 0;
    if (opcode == vst2::effSetBlockSize) value = BlockSize(value);
    intptr_t answer = 0;

    switch (shape.use) {
    case Use::Events:
        answer =
            withPointer ? SendEvents(host, in, index, value, opt) : host.Dispatch(opcode, index, value, nullptr, opt);
        if (answer != (withPointer ? 1 : 0)) FuzzFail("effProcessEvents answered %zd", answer);
        break;
    case Use::TextIn: {
        // effCanDo reads a terminated text, effSetProgramName one of up to 24 bytes.
        std::vector<char> text;
        if (opcode == vst2::effCanDo && in.Pick(2)) {
            const char* known = in.PickFrom(kCanDos);
            text.assign(known, known + std::strlen(known) + 1);
        } else {
            const size_t length = shape.size ? shape.size : in.Pick(40);
            text.resize(shape.size ? shape.size : length + 1, 0);
            in.Bytes(text.data(), length);
            if (!shape.size) text[length] = 0;
        }
        GuardedBuffer b(text.size());
        std::memcpy(b.Data(), text.data(), text.size());
        answer = host.Dispatch(opcode, index, value, withPointer ? b.Data() : nullptr, opt);
        b.Check("a text the host passed");
        if (std::memcmp(b.Data(), text.data(), text.size()) != 0) FuzzFail("opcode %d changed the host's text", opcode);
        break;
    }
    case Use::BytesIn: {
        // The chunk's bytes: from the input, then zeros, exactly as many as the value says.
        size_t size = in.Pick(4) == 0 ? in.U32() % (kLargeChunk + 1) : in.Pick(2) ? kChunkSize : in.U16() % 1024;
        uint8_t* bytes = size > 4096 ? LargeChunkBuffer() : nullptr;
        std::unique_ptr<GuardedBuffer> small;
        if (!bytes) {
            small = std::make_unique<GuardedBuffer>(size, 0);
            bytes = small->Data();
        }
        const size_t given = in.Bytes(bytes, size < 512 ? size : 512);
        value = in.Pick(16) == 0 ? -static_cast<intptr_t>(in.Byte()) - 1 : static_cast<intptr_t>(size);
        const HostSnapshot before =
            value > static_cast<intptr_t>(kChunkSize) << 10 ? Snapshot(host, "before", true) : HostSnapshot{};
        answer = host.Dispatch(opcode, index, value, withPointer ? bytes : nullptr, opt);
        if (small) small->Check("effSetChunk");
        if (answer != 0 && answer != 1) FuzzFail("effSetChunk answered %zd", answer);
        if (!before.chunk.empty() && answer == 0 && kAllocationFailures)
            ExpectSame(before, Snapshot(host, "after", true), "a chunk too large to hold");
        if (bytes == LargeChunkBuffer()) std::memset(bytes, 0, given);
        break;
    }
    case Use::Arrangements: {
        GuardedBuffer in1(shape.size), out1(shape.size);
        for (GuardedBuffer* b : {&in1, &out1}) {
            auto* a = reinterpret_cast<vst2::VstSpeakerArrangement*>(b->Data());
            a->type = in.Pick(2) ? in.Pick(5) - 2 : static_cast<int32_t>(in.U32());
            a->numChannels = in.Pick(2) ? in.Pick(10) : static_cast<int32_t>(in.U32());
        }
        std::vector<uint8_t> copyIn(in1.Data(), in1.Data() + shape.size),
            copyOut(out1.Data(), out1.Data() + shape.size);
        const bool withValue = in.Pick(8) != 0;
        answer = host.Dispatch(opcode, index, withValue ? reinterpret_cast<intptr_t>(in1.Data()) : 0,
                               withPointer ? out1.Data() : nullptr, opt);
        if (withPointer) {
            const int n = reinterpret_cast<const vst2::VstSpeakerArrangement*>(out1.Data())->numChannels;
            gInstance.outputsConnected = n < 0 ? 0 : n > 2 ? 2 : n;
        }
        in1.Check("effSetSpeakerArrangement");
        out1.Check("effSetSpeakerArrangement");
        if (std::memcmp(in1.Data(), copyIn.data(), shape.size) || std::memcmp(out1.Data(), copyOut.data(), shape.size))
            FuzzFail("effSetSpeakerArrangement changed the host's arrangements");
        break;
    }
    default: {
        GuardedBuffer b(shape.size, kFill);
        std::unique_ptr<GuardedBuffer> inputArrangement;
        if (opcode == vst2::effGetSpeakerArrangement) {
            // The value is a pointer too: where the input arrangement's address goes.
            inputArrangement = std::make_unique<GuardedBuffer>(sizeof(void*), kFill);
            value = in.Pick(8) ? reinterpret_cast<intptr_t>(inputArrangement->Data()) : 0;
        }
        // A window needs a display, which this process has none of: a parent given or not, 0.
        void* pointer = withPointer ? b.Data() : nullptr;
        if (opcode == vst2::effEditOpen) pointer = withPointer ? reinterpret_cast<void*>(value) : nullptr;
        answer = host.Dispatch(opcode, index, value, pointer, opt);
        if (opcode == vst2::effEditOpen && answer != 0) FuzzFail("effEditOpen answered %zd without a display", answer);
        b.Check("dispatcher buffer");
        if (inputArrangement) {
            inputArrangement->Check("effGetSpeakerArrangement value");
            if (!inputArrangement->Untouched(kFill)) CheckArrangementAt(inputArrangement->Data(), "input");
        }
        if (!withPointer || opcode == vst2::effEditOpen) break;
        switch (shape.use) {
        case Use::None: CheckUntouched(b, "a buffer", opcode); break;
        case Use::TextOut: CheckTextOut(opcode, index, b); break;
        case Use::AddressOut: CheckAddressOut(opcode, answer, b); break;
        case Use::PinOut: {
            // Label and flags only; the arrangement type and short label are the host's.
            const auto* pin = reinterpret_cast<const vst2::VstPinProperties*>(b.Data());
            for (size_t i = offsetof(vst2::VstPinProperties, arrangementType); i < b.Size(); ++i)
                if (b.Data()[i] != kFill) FuzzFail("pin properties: byte %zu written", i);
            if (pin->label[0] != static_cast<char>(kFill)) CheckText(pin->label, sizeof pin->label, "pin label", index);
            break;
        }
        case Use::KeyNameOut: {
            const size_t name = offsetof(vst2::MidiKeyName, keyName);
            for (size_t i = 0; i < b.Size(); ++i)
                if ((i < name || i >= name + 64) && b.Data()[i] != kFill) FuzzFail("MidiKeyName: byte %zu written", i);
            if (b.Data()[name] != kFill) CheckText(b.Data() + name, 64, "key name", index);
            break;
        }
        default: break;
        }
        break;
    }
    }
    host.mSent.clear();
    // Program selection, naming and chunks store into or restore from the slots.
    if (opcode == vst2::effSetProgram || opcode == vst2::effSetProgramName || opcode == vst2::effGetChunk ||
        opcode == vst2::effSetChunk)
        gInstance.slotsTouched = true;
    return opcode;
}

// A stopped block of the input's length, on host buffers exactly that long: after
// block-size, speaker and mains changes the scratch buffers must still fit.
void Process(FuzzHost& host, FuzzReader& in) {
    const int frames = 1 + in.U16() % 4096;
    host.mTime.flags = in.Pick(2) ? vst2::kVstTempoValid : 0;
    host.mHasTime = in.Pick(4) != 0;
    const int buffers = in.Pick(3);  // the host's count of buffers, whatever it said before
    host.ProcessSilence(static_cast<FuzzHost::ProcessKind>(in.Pick(3)), frames, buffers, gInstance.outputsConnected);
    host.mSent.clear();
}

// Puts the kept instance back as the last input cannot have left it.
void Reset(FuzzHost& host) {
    host.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(vst2::effSetBlockSize, 0, 512);
    host.Dispatch(vst2::effMainsChanged, 0, 1);
    vst2::VstSpeakerArrangement stereo{};
    stereo.type = vst2::kSpeakerArrStereo;
    stereo.numChannels = 2;
    host.Dispatch(vst2::effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&stereo), &stereo);
    gInstance.outputsConnected = 2;
    host.Dispatch(vst2::effEditClose);
    // Every slot: selected, the defaults, its name; the last step stores the defaults in
    // it. Needed only when the last input reached the slots.
    for (int slot = 0; slot < kPrograms && gInstance.slotsTouched; ++slot) {
        host.Dispatch(vst2::effSetProgram, 0, slot);
        SetChunk(host, true, DefaultChunk().data(), DefaultChunk().size());
        char name[kProgramNameSize] = {};
        std::snprintf(name, sizeof name, "- %d -", slot + 1);
        host.Dispatch(vst2::effSetProgramName, 0, 0, name);
    }
    if (gInstance.slotsTouched) host.Dispatch(vst2::effSetProgram, 0, 0);
    gInstance.slotsTouched = false;
    for (int i = kHostParams; i < kAllParams; ++i) host.SetParameter(i, 0.0f);
    if (SetChunk(host, true, DefaultChunk().data(), DefaultChunk().size()) != 1)
        FuzzFail("the defaults' chunk was refused");
    host.mHasTime = true;
    host.mTime = vst2::VstTimeInfo{};
    host.mTime.flags = vst2::kVstTempoValid;  // stopped: no note ever sounds here
    host.mSent.clear();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    unsetenv("DISPLAY");  // the editor finds no display, as on a build machine
    DefaultChunk();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader in(data, size);
    FuzzHost& host = gInstance.host;
    const uint8_t first = in.Byte();
    const bool lifecycle = (first & kLifecycle) == kLifecycle;
    if (lifecycle || !gInstance.kept) {
        host.Create();
        gInstance.slotsTouched = true;
        gInstance.outputsConnected = 2;
        host.mHasTime = true;
        host.mTime = vst2::VstTimeInfo{};
        host.mTime.flags = vst2::kVstTempoValid;
        if (!(lifecycle && (first & 1))) host.Start(44100.0, 512);  // now and then not even opened
    }
    // A new instance is reset as well, so an input meets the same instance whether it
    // runs first in a process or after others.
    if (!lifecycle) Reset(host);
    gInstance.kept = !lifecycle;

    for (int calls = 0; calls < kMaxCalls && !in.Empty(); ++calls) {
        bool setsParameters = false;
        switch (in.Pick(16)) {
        case 0:
            host.SetParameter(Index(in), Opt(in));
            setsParameters = true;
            break;
        case 1: {
            const int32_t index = Index(in);
            const float n = host.GetParameter(index);
            if (!(n >= 0.0f && n <= 1.0f)) FuzzFail("parameter %d reads %g", index, n);
            break;
        }
        case 2: Process(host, in); break;
        default: {
            const int32_t opcode = Call(host, in);
            setsParameters = opcode == vst2::effOpen || opcode == vst2::effSetProgram || opcode == vst2::effSetChunk;
            break;
        }
        }
        if (setsParameters) CheckParametersInRange(host, "after a call");
    }
    Snapshot(host, "at the end", true);
    return 0;
}
