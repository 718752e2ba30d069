#include "tools/tamborelle-host/LiveHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "tools/midi/MidiFile.h"

namespace {

// A whole short message: a status that starts one, as many bytes as it takes, data below 128.
bool WellFormed(const uint8_t* data, size_t size) {
    if (size == 0 || size != size_t(MidiMessageSize(data[0]))) return false;
    for (size_t i = 1; i < size; ++i)
        if (data[i] > 127) return false;
    return true;
}

}  // namespace

LiveHost::LiveHost() {
    mOut.reserve(kMaxEvents);
    mSysexBytes.resize(kSysexBytes);
}

void LiveHost::Prepare(double sampleRate, int maxBlock, double ownBpm) {
    mSampleRate = sampleRate;
    mMaxBlock = std::max(1, maxBlock);
    mOwnBpm = ownBpm > 0 ? ownBpm : 120.0;
    mTime.sampleRate = sampleRate;
    PrepareBuffers(mMaxBlock);
    mOut.clear();
    mSysexUsed = 0;
    std::fill(std::begin(mSounding), std::end(mSounding), 0);
    mOwnClock = 0;
    mFirstCycle = true;
    mWasRolling = false;
    mStopRequested.store(false);
    mFinished.store(false);
    mNotesIn.store(0);
    mNotesOut.store(0);
    mDropped.store(0);
    Dispatch(vst2::effStartProcess);
}

void LiveHost::ApplySettings(const std::vector<std::pair<int, float>>& parameters, double bpm) {
    SetTime(0, bpm > 0 ? bpm : mOwnBpm, 4, 4, false, true);
    mBlockOffset = 0;
    ProcessBlock(mMaxBlock);
    ApplyParameters(parameters);
    mOut.clear();  // whatever the set-up block flushed was never played
    mSysexUsed = 0;
}

void LiveHost::SetTime(int64_t position, double bpm, int numerator, int denominator, bool playing, bool changed) {
    SetTransport(position, bpm, double(position) / mSampleRate * bpm / 60.0, numerator, denominator, playing, changed);
}

void LiveHost::Cycle(uint32_t frames, const LiveTransport& transport, LiveMidiInput& in, LiveMidiOutput& out) {
    if (frames == 0 || mFinished.load() || !Effect()) return;
    const bool stopping = mStopRequested.load();

    int64_t position = mOwnClock;
    double bpm = mOwnBpm;
    int numerator = 4, denominator = 4;
    if (transport.mRolling) {
        position = transport.mFrame;
        if (transport.mBpm > 0) bpm = transport.mBpm;
        if (transport.mNumerator > 0 && transport.mDenominator > 0) {
            numerator = transport.mNumerator;
            denominator = transport.mDenominator;
        }
    } else {
        mOwnClock += frames;
    }
    const bool changed = mFirstCycle || transport.mRolling != mWasRolling || stopping;
    mFirstCycle = false;
    mWasRolling = transport.mRolling;

    // While stopping nothing new is played: the plug-in only ends what sounds.
    const uint32_t count = stopping ? 0 : in.Count();
    mInputIndex = 0;
    for (uint32_t offset = 0; offset < frames;) {
        const uint32_t chunk = std::min<uint32_t>(uint32_t(mMaxBlock), frames - offset);
        SetTime(position + offset, bpm, numerator, denominator, !stopping, changed && offset == 0);
        mBlockOffset = offset;
        Deliver(in, count, offset, offset + chunk);
        ProcessBlock(int(chunk));
        offset += chunk;
    }
    Emit(frames, stopping, out);
}

void LiveHost::Deliver(LiveMidiInput& in, uint32_t count, uint32_t begin, uint32_t end) {
    mEvents.Clear();
    for (; mInputIndex < count; ++mInputIndex) {
        uint32_t frame = 0;
        const uint8_t* data = nullptr;
        size_t size = 0;
        if (!in.Get(mInputIndex, frame, data, size) || !data || size == 0) continue;
        if (frame >= end) break;
        const int32_t delta = int32_t(frame > begin ? frame - begin : 0);
        if (mEvents.Full()) {
            ProcessEvents(mEvents);
            mEvents.Clear();
        }
        if (data[0] == 0xF0 && size >= 2 && data[size - 1] == 0xF7) {
            mEvents.AddSysex(delta, data, int32_t(size));
        } else if (WellFormed(data, size)) {
            mEvents.AddMidi(delta, data[0], size > 1 ? data[1] : 0, size > 2 ? data[2] : 0);
            if ((data[0] >> 4) == 9 && data[2] > 0) mNotesIn.fetch_add(1);
        } else {
            mDropped.fetch_add(1);  // a stray data byte, a cut-off message or a broken sysex
        }
    }
    if (mEvents.Count() > 0) ProcessEvents(mEvents);
}

void LiveHost::OnEvent(const vst2::VstEvent& event) {
    if (mOut.size() >= size_t(kMaxEvents)) {
        mDropped.fetch_add(1);
        return;
    }
    OutEvent e{};
    e.mFrame = mBlockOffset + std::max(0, event.deltaFrames);
    if (event.type == vst2::kVstMidiType) {
        const auto& m = reinterpret_cast<const vst2::VstMidiEvent&>(event);
        const uint8_t bytes[3] = {uint8_t(m.midiData[0]), uint8_t(m.midiData[1]), uint8_t(m.midiData[2])};
        const size_t size = size_t(MidiMessageSize(bytes[0]));
        if (!WellFormed(bytes, size)) {
            mDropped.fetch_add(1);
            return;
        }
        std::memcpy(e.mBytes, bytes, size);
        e.mSize = uint32_t(size);
    } else if (event.type == vst2::kVstSysExType) {
        const auto& s = reinterpret_cast<const vst2::VstMidiSysexEvent&>(event);
        const uint32_t size = s.dumpBytes > 0 ? uint32_t(s.dumpBytes) : 0;
        if (size < 2 || !s.sysexDump || uint8_t(s.sysexDump[0]) != 0xF0 || mSysexUsed + size > mSysexBytes.size()) {
            mDropped.fetch_add(1);
            return;
        }
        std::memcpy(mSysexBytes.data() + mSysexUsed, s.sysexDump, size);
        e.mSysex = mSysexUsed;
        e.mIsSysex = true;
        e.mSize = size;
        mSysexUsed += size;
    } else {
        return;
    }
    mOut.push_back(e);  // within the reserved room: no allocation
}

void LiveHost::Track(const uint8_t* data, size_t size) {
    if (size != 3) return;
    const int type = data[0] >> 4, channel = data[0] & 0x0F;
    if (type == 9 && data[2] > 0) {
        mSounding[data[1]] = uint16_t(mSounding[data[1]] | (1u << channel));
        mNotesOut.fetch_add(1);
    } else if (type == 8 || type == 9) {
        mSounding[data[1]] = uint16_t(mSounding[data[1]] & ~(1u << channel));
    } else if (type == 0xB && (data[1] == 120 || data[1] == 123)) {
        for (uint16_t& bits : mSounding) bits = uint16_t(bits & ~(1u << channel));
    }
}

void LiveHost::Emit(uint32_t frames, bool final, LiveMidiOutput& out) {
    // A plug-in may pass a message on at once and send the block's notes later: order by
    // frame, keeping the plug-in's order within one frame. The list is nearly sorted.
    for (size_t i = 1; i < mOut.size(); ++i) {
        const OutEvent e = mOut[i];
        size_t j = i;
        for (; j > 0 && mOut[j - 1].mFrame > e.mFrame; --j) mOut[j] = mOut[j - 1];
        mOut[j] = e;
    }
    size_t kept = 0;
    bool keptSysex = false, full = false;
    for (size_t i = 0; i < mOut.size(); ++i) {
        OutEvent e = mOut[i];
        if (!final && e.mFrame >= int64_t(frames)) {
            e.mFrame -= frames;  // due at the cycle's end or later: a later cycle's
        } else {
            const uint8_t* data = e.mIsSysex ? mSysexBytes.data() + e.mSysex : e.mBytes;
            const uint32_t frame = uint32_t(std::min<int64_t>(e.mFrame, frames - 1));
            // Once the server's buffer is full, the rest waits for the next cycle's first
            // frame, in order, rather than being lost (a lost note-off hangs a note).
            full = full || !out.Write(frame, data, e.mSize);
            if (!full) {
                Track(data, e.mSize);
                continue;
            }
            e.mFrame = 0;
        }
        keptSysex = keptSysex || e.mIsSysex;
        mOut[kept++] = e;
    }
    mOut.resize(kept);
    if (!keptSysex) mSysexUsed = 0;
    if (!final || full) return;
    // Whatever the plug-in left sounding ends here, so no synth is left holding a note;
    // what does not fit is ended by the next cycle, which plays nothing new.
    for (int note = 0; note < 128; ++note)
        for (int channel = 0; channel < 16; ++channel) {
            if (!(mSounding[note] & (1u << channel))) continue;
            const uint8_t off[3] = {uint8_t(0x80 | channel), uint8_t(note), 0};
            if (!out.Write(frames - 1, off, 3)) return;
            Track(off, 3);
        }
    mFinished.store(true);
}
