#include "tests/src/PluginHarness.h"

#include <cstdio>
#include <cstring>

const char* ModulePath() { return TAMBORELLE_MODULE_PATH; }

std::string Describe(const Sent& s) {
    char text[96];
    switch (s.kind) {
    case Sent::Midi:
        if (s.IsNoteOn())
            std::snprintf(text, sizeof text, "on %d c%d v%d @%d", s.Note(), s.Channel(), s.Velocity(), s.delta);
        else if (s.IsNoteOff() && s.Velocity() == 0)
            std::snprintf(text, sizeof text, "off %d c%d @%d", s.Note(), s.Channel(), s.delta);
        else if (s.IsNoteOff())
            std::snprintf(text, sizeof text, "off %d c%d v%d @%d", s.Note(), s.Channel(), s.Velocity(), s.delta);
        else
            std::snprintf(text, sizeof text, "midi %02X %02X %02X @%d", s.bytes[0], s.bytes[1], s.bytes[2], s.delta);
        break;
    case Sent::SysEx: std::snprintf(text, sizeof text, "sysex %d bytes @%d", s.sysexSize, s.delta); break;
    case Sent::OtherEvent: std::snprintf(text, sizeof text, "event @%d", s.delta); break;
    case Sent::Automate: std::snprintf(text, sizeof text, "automate %d %.4f", s.index, s.value); break;
    case Sent::BeginEdit: std::snprintf(text, sizeof text, "begin %d", s.index); break;
    case Sent::EndEdit: std::snprintf(text, sizeof text, "end %d", s.index); break;
    }
    return text;
}

namespace {
// The entries' forms joined with ", ".
template <typename Form>
std::string Join(const SentLog& log, Form form) {
    std::string out;
    for (const Sent& s : log) {
        if (!out.empty()) out += ", ";
        out += form(s);
    }
    return out;
}
}  // namespace

std::string Describe(const SentLog& log) {
    return Join(log, [](const Sent& s) { return Describe(s); });
}

std::string DescribeAbs(const SentLog& log) {
    return Join(log, [](const Sent& s) {
        std::string one = Describe(s);
        if (s.kind == Sent::Midi) one = one.substr(0, one.rfind('@')) + "@@" + std::to_string(s.At());
        return one;
    });
}

std::string Brief(const SentLog& log) {
    return Join(log, [](const Sent& s) {
        std::string one = Describe(s);
        const size_t at = one.rfind(" @");
        return at == std::string::npos ? one : one.substr(0, at);
    });
}

namespace {
template <typename Pred>
SentLog Filter(const SentLog& log, Pred pred) {
    SentLog out;
    for (const Sent& s : log)
        if (pred(s)) out.push_back(s);
    return out;
}
}  // namespace

SentLog NotesOnly(const SentLog& log) {
    return Filter(log, [](const Sent& s) { return s.IsNote(); });
}
SentLog NoteOns(const SentLog& log) {
    return Filter(log, [](const Sent& s) { return s.IsNoteOn(); });
}
SentLog NoteOffs(const SentLog& log) {
    return Filter(log, [](const Sent& s) { return s.IsNoteOff(); });
}
SentLog OnChannel(const SentLog& log, int channel) {
    return Filter(log, [channel](const Sent& s) { return s.kind == Sent::Midi && s.Channel() == channel; });
}

RecordingHost::RecordingHost(size_t capacity) {
    mLog.reserve(capacity);
    mTime.samplePos = 0.0;
    mTime.flags = vst2::kVstTempoValid | vst2::kVstTimeSigValid | vst2::kVstPpqPosValid;
}

void RecordingHost::Record(const Sent& s) {
    if (mLog.size() < mLog.capacity())
        mLog.push_back(s);
    else
        ++mOverflow;
}

intptr_t RecordingHost::OnHostCall(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    switch (opcode) {
    case vst2::audioMasterGetProductString: ++mProductStringCalls; break;
    case vst2::audioMasterGetVendorVersion: ++mVendorVersionCalls; break;
    case vst2::audioMasterGetTime: ++mGetTimeCalls; break;
    case vst2::audioMasterWantMidi: ++mWantMidiCalls; break;
    case vst2::audioMasterProcessEvents:
        ++mProcessEventsCalls;
        if (ptr && static_cast<const vst2::VstEvents*>(ptr)->numEvents > mMaxEventsPerCall)
            mMaxEventsPerCall = static_cast<const vst2::VstEvents*>(ptr)->numEvents;
        break;
    case vst2::audioMasterAutomate:
    case vst2::audioMasterBeginEdit:
    case vst2::audioMasterEndEdit: break;
    default: ++mOtherCalls; break;
    }
    return VstHost::OnHostCall(opcode, index, value, ptr, opt);
}

void RecordingHost::OnEvent(const vst2::VstEvent& event) {
    Sent s;
    s.delta = event.deltaFrames;
    s.byteSize = event.byteSize;
    s.flags = event.flags;
    s.blockPos = mBlockPos;
    if (event.type == vst2::kVstMidiType) {
        const auto& midi = reinterpret_cast<const vst2::VstMidiEvent&>(event);
        s.kind = Sent::Midi;
        std::memcpy(s.bytes, midi.midiData, 4);
    } else if (event.type == vst2::kVstSysExType) {
        const auto& sysex = reinterpret_cast<const vst2::VstMidiSysexEvent&>(event);
        s.kind = Sent::SysEx;
        s.sysexData = sysex.sysexDump;
        s.sysexSize = sysex.dumpBytes;
    } else {
        s.kind = Sent::OtherEvent;
    }
    Record(s);
}

void RecordingHost::OnAutomate(int index, float value) {
    Sent s;
    s.kind = Sent::Automate;
    s.index = index;
    s.value = value;
    Record(s);
}

void RecordingHost::OnBeginEdit(int index) {
    Sent s;
    s.kind = Sent::BeginEdit;
    s.index = index;
    Record(s);
}

void RecordingHost::OnEndEdit(int index) {
    Sent s;
    s.kind = Sent::EndEdit;
    s.index = index;
    Record(s);
}

PluginHarness::PluginHarness() : mAudio(4 * kMaxFrames, 0.0f) {
    for (int c = 0; c < 2; ++c) {
        mInputs[c] = mAudio.data() + c * kMaxFrames;
        mOutputs[c] = mAudio.data() + (2 + c) * kMaxFrames;
    }
}

PluginHarness::~PluginHarness() {
    Close();
    mModule.Unload();
}

bool PluginHarness::Create() {
    if (!mModule.IsLoaded() && !mModule.Load(ModulePath())) {
        mError = mModule.Error();
        return false;
    }
    if (!mHost.Instantiate(mModule.Entry())) {
        mError = "the entry returned no effect";
        return false;
    }
    return true;
}

void PluginHarness::Open(float sampleRate, int blockSize) { mHost.Start(sampleRate, blockSize); }

void PluginHarness::Close() { mHost.Close(); }

intptr_t PluginHarness::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return mHost.Dispatch(opcode, index, value, ptr, opt);
}

void PluginHarness::SetParam(int index, float normalized) { mHost.SetParameter(index, normalized); }
float PluginHarness::GetParam(int index) { return mHost.GetParameter(index); }
std::string PluginHarness::Display(int index) { return mHost.ParamDisplay(index); }
std::string PluginHarness::Name(int index) { return mHost.ParamName(index); }

std::string PluginHarness::Label(int index) { return mHost.Text(vst2::effGetParamLabel, index); }

void PluginHarness::Raw(int offset, uint8_t status, uint8_t data1, uint8_t data2) {
    mQueue.AddMidi(offset, status, data1, data2);
}

void PluginHarness::NoteOn(int offset, int note, int velocity, int channel) {
    Raw(offset, static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity));
}

void PluginHarness::NoteOff(int offset, int note, int channel, int velocity) {
    Raw(offset, static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity));
}

void PluginHarness::ControlChange(int offset, int controller, int value, int channel) {
    Raw(offset, static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(controller), static_cast<uint8_t>(value));
}

void PluginHarness::PitchBend(int offset, int value14, int channel) {
    Raw(offset, static_cast<uint8_t>(0xE0 | channel), static_cast<uint8_t>(value14 & 0x7F),
        static_cast<uint8_t>((value14 >> 7) & 0x7F));
}

void PluginHarness::ProgramChange(int offset, int program, int channel) {
    Raw(offset, static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program), 0);
}

void PluginHarness::SysEx(int offset, char* data, int size) { mQueue.AddSysex(offset, data, size); }

void PluginHarness::SendEvents() {
    mHost.mBlockPos = static_cast<int64_t>(mHost.mTime.samplePos);
    if (mQueue.Count() > 0) mHost.ProcessEvents(mQueue);
    mQueue.Clear();
}

void PluginHarness::SetTransport(double samplePos, double tempo, bool playing) {
    mHost.mTime.samplePos = samplePos;
    mHost.mTime.tempo = tempo;
    SetPlaying(playing);
}

void PluginHarness::SetPlaying(bool playing) {
    if (playing)
        mHost.mTime.flags |= vst2::kVstTransportPlaying;
    else
        mHost.mTime.flags &= ~vst2::kVstTransportPlaying;
}

void PluginHarness::SetTempo(double tempo) { mHost.mTime.tempo = tempo; }

void PluginHarness::ProcessBlock(int frames) {
    SendEvents();
    if (frames > kMaxFrames) frames = kMaxFrames;
    mHost.ProcessFloat(mInputs, mOutputs, frames);
}

SentLog PluginHarness::RunBlock(int frames) {
    size_t first = mHost.mLog.size();
    ProcessBlock(frames);
    auto from = mHost.mLog.begin() + static_cast<std::ptrdiff_t>(first);
    SentLog out(from, mHost.mLog.end());
    mHost.mLog.erase(from, mHost.mLog.end());
    return out;
}

SentLog PluginHarness::Roll(int frames) {
    SentLog out = RunBlock(frames);
    mHost.mTime.samplePos += frames;
    return out;
}

SentLog PluginHarness::RollBlocks(int count, int frames) {
    SentLog out;
    for (int i = 0; i < count; ++i) {
        SentLog block = Roll(frames);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

void PluginHarness::StartPlayback(int frames) {
    SetTransport(0.0, mHost.mTime.tempo > 0 ? mHost.mTime.tempo : 120.0, true);
    Roll(frames);
}
