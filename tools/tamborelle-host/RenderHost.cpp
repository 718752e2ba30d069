#include "tools/tamborelle-host/RenderHost.h"

#include <algorithm>
#include <cmath>

void RenderHost::SetFileTransport(int64_t position, bool playing, bool changed) {
    const double fileSeconds = double(position - mPreroll) / mSettings.mSampleRate;
    const double bpm = fileSeconds < 0 ? mTempo->InitialBpm() : mTempo->BpmAt(fileSeconds);
    const double quarters = fileSeconds < 0 ? double(position) / mSettings.mSampleRate * mTempo->InitialBpm() / 60.0
                                            : mPrerollQuarters + mTempo->QuartersAt(fileSeconds);
    SetTransport(position, bpm, quarters, mTempo->Numerator(), mTempo->Denominator(), playing, changed);
}

void RenderHost::PlaceInQuarters(std::vector<PlayedNote>& notes) const {
    const double rate = mSettings.mSampleRate;
    auto quarters = [&](int64_t sample) {
        const double seconds = double(sample) / rate;
        return seconds < 0 ? seconds * mTempo->InitialBpm() / 60.0 : mTempo->QuartersAt(seconds);
    };
    for (PlayedNote& n : notes) {
        n.mStartQuarters = quarters(n.mStart);
        n.mLengthQuarters = quarters(n.mStart + n.mLength) - n.mStartQuarters;
    }
}

void RenderHost::Deliver(const std::vector<TimedEvent>& events, size_t begin, size_t end) {
    mEvents.Clear();
    for (size_t i = begin; i < end; ++i) {
        const TimedEvent& e = events[i];
        const int32_t delta = int32_t(mPreroll + e.mFrame - mBlockStart);
        if (e.mStatus == 0xF0)
            mEvents.AddSysex(delta, e.mSysex.data(), int32_t(e.mSysex.size()));
        else
            mEvents.AddMidi(delta, e.mStatus, e.mData1, e.mData2);
        // A crowded block takes several calls.
        if (mEvents.Full() || i + 1 == end) {
            ProcessEvents(mEvents);
            mEvents.Clear();
        }
    }
}

void RenderHost::OnEvent(const vst2::VstEvent& event) {
    RenderedEvent out;
    out.mSample = mBlockStart + event.deltaFrames;
    if (event.type == vst2::kVstMidiType) {
        const auto& m = reinterpret_cast<const vst2::VstMidiEvent&>(event);
        out.mStatus = uint8_t(m.midiData[0]);
        out.mData1 = uint8_t(m.midiData[1]);
        out.mData2 = uint8_t(m.midiData[2]);
        const bool oneByte = MidiDataLength(out.mStatus) == 1;
        if (out.mStatus < 0x80 || out.mStatus >= 0xF0 || out.mData1 > 127 || (!oneByte && out.mData2 > 127)) {
            ++mIgnored;
            return;
        }
        if (oneByte) out.mData2 = 0;
    } else if (event.type == vst2::kVstSysExType) {
        const auto& s = reinterpret_cast<const vst2::VstMidiSysexEvent&>(event);
        if (s.dumpBytes < 2 || !s.sysexDump || uint8_t(s.sysexDump[0]) != 0xF0) {
            ++mIgnored;
            return;
        }
        out.mStatus = 0xF0;
        out.mSysex.assign(s.sysexDump, s.sysexDump + s.dumpBytes);
    } else {
        ++mIgnored;
        return;
    }
    mCaptured.push_back(std::move(out));
}

bool RenderHost::Render(const MidiFile& input, const RenderSettings& settings,
                        const std::vector<std::pair<int, float>>& parameters, MidiFile& output, RenderReport& report,
                        std::string& error) {
    report = RenderReport{};
    if (!Effect()) {
        error = "no effect to render with";
        return false;
    }
    if (input.mFormat == 2) {
        error = "format 2 files (independent sequences) cannot be played as one piece";
        return false;
    }
    mSettings = settings;
    const TempoMap tempo = settings.mTempo > 0 ? TempoMap(input, settings.mTempo) : TempoMap(input);
    mTempo = &tempo;
    const double rate = settings.mSampleRate;
    const int block = settings.mBlockSize;
    const std::vector<TimedEvent> events = ScheduleEvents(input, tempo, rate);

    const double barSeconds = tempo.QuartersPerBar() * 60.0 / tempo.InitialBpm();
    mPreroll = std::max<int64_t>(std::llround(barSeconds * rate), block);
    mPrerollQuarters = double(mPreroll) / rate * tempo.InitialBpm() / 60.0;
    const int64_t lastFrame = events.empty() ? 0 : events.back().mFrame;
    const double endBpm = tempo.BpmAt(double(lastFrame) / rate);
    const double tailQuarters = std::max(2.0 * tempo.QuartersPerBar(), 8.0);
    const int64_t end = mPreroll + lastFrame + std::llround(tailQuarters * 60.0 / endBpm * rate) + block;

    mTime.sampleRate = rate;
    PrepareBuffers(block);
    mCaptured.clear();
    mIgnored = 0;

    Dispatch(vst2::effStartProcess);
    mBlockStart = 0;
    SetFileTransport(0, false, true);
    ProcessBlock(block);
    ApplyParameters(parameters);
    mCaptured.clear();  // whatever the set-up block flushed is not part of the piece

    size_t next = 0;
    int64_t position = 0;
    for (; position < end; position += block) {
        mBlockStart = position;
        SetFileTransport(position, true, position == 0);
        size_t last = next;
        while (last < events.size() && mPreroll + events[last].mFrame < position + block) ++last;
        Deliver(events, next, last);
        next = last;
        ProcessBlock(block);
        ++report.mBlocks;
    }
    for (int i = 0; i < 2; ++i) {
        mBlockStart = position;
        SetFileTransport(position, false, i == 0);
        ProcessBlock(block);
        ++report.mBlocks;
    }
    Dispatch(vst2::effStopProcess);

    std::vector<NoteMessage> in, out;
    for (const TimedEvent& e : events) in.push_back({e.mFrame, e.mStatus, e.mData1, e.mData2});
    for (const RenderedEvent& e : mCaptured)
        if (e.mStatus != 0xF0) out.push_back({e.mSample - mPreroll, e.mStatus, e.mData1, e.mData2});
    report.mInputNotes = PairNotes(in, position - mPreroll);
    report.mOutputNotes = PairNotes(out, position - mPreroll);
    PlaceInQuarters(report.mInputNotes);
    PlaceInQuarters(report.mOutputNotes);
    mTempo = nullptr;

    for (const TimedEvent& e : events)
        if ((e.mStatus >> 4) == 9 && e.mData2 > 0) ++report.mNotesIn;
    OutputTiming timing;
    timing.mOrigin = mPreroll;
    timing.mSampleRate = rate;
    timing.mBpm = tempo.InitialBpm();
    timing.mNumerator = tempo.Numerator();
    timing.mDenominator = tempo.Denominator();
    output = BuildOutputFile(std::move(mCaptured), timing, report.mOut);
    mCaptured.clear();
    report.mIgnored = mIgnored;
    report.mSeconds = double(position) / rate;
    report.mBpm = tempo.InitialBpm();
    report.mNumerator = tempo.Numerator();
    report.mDenominator = tempo.Denominator();
    return true;
}
