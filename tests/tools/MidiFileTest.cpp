// Reading and writing Standard MIDI Files: round trips, what real files do,
// input that must be refused without reading out of bounds; and note names.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tools/midi/MidiFileReader.h"
#include "tools/midi/MidiFileWriter.h"
#include "tools/midi/NoteName.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Header(uint16_t format, uint16_t tracks, uint16_t division) {
    // clang-format off
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, uint8_t(format >> 8), uint8_t(format), uint8_t(tracks >> 8),
            uint8_t(tracks), uint8_t(division >> 8), uint8_t(division)};
    // clang-format on
}

Bytes Chunk(const char* tag, const Bytes& body) {
    Bytes out(tag, tag + 4);
    const uint32_t n = uint32_t(body.size());
    out.insert(out.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool Read(const Bytes& bytes, MidiFile& file) {
    std::string error;
    const bool ok = ReadMidiFile(bytes.data(), bytes.size(), file, error);
    if (!ok) {
        EXPECT_FALSE(error.empty());
    }
    return ok;
}

MidiFile SampleFile() {
    MidiFile file;
    file.mFormat = 1;
    file.mDivision = 96;
    MidiTrack conductor;
    conductor.mEvents = {MidiEvent::TrackName(0, "tempo"), MidiEvent::Tempo(0, 500000),
                         MidiEvent::TimeSignature(0, 3, 4), MidiEvent::Tempo(192, 400000)};
    MidiTrack notes;
    MidiEvent sysex;
    sysex.mTick = 10;
    sysex.mStatus = 0xF0;
    sysex.mData = {0x7E, 0x7F, 0x09, 0x01, 0xF7};
    notes.mEvents = {MidiEvent::Channel2(0, 0xC3, 5),       MidiEvent::Channel3(0, 0x93, 60, 100),
                     MidiEvent::Channel3(0, 0x93, 64, 90),  sysex,
                     MidiEvent::Channel3(48, 0x83, 60, 0),  MidiEvent::Channel3(48, 0x93, 64, 0),
                     MidiEvent::Channel3(50, 0xE3, 0, 64),  MidiEvent::Channel2(60, 0xD3, 33),
                     MidiEvent::Channel3(70, 0xB3, 7, 127), MidiEvent::Channel3(70, 0xA3, 64, 12),
                     MidiEvent::EndOfTrack(300000)};
    file.mTracks = {conductor, notes};
    return file;
}

void ExpectSameEvents(const MidiTrack& a, const MidiTrack& b) {
    ASSERT_EQ(a.mEvents.size(), b.mEvents.size());
    for (size_t i = 0; i < a.mEvents.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.mEvents[i].mTick, b.mEvents[i].mTick);
        EXPECT_EQ(a.mEvents[i].mStatus, b.mEvents[i].mStatus);
        EXPECT_EQ(a.mEvents[i].mMetaType, b.mEvents[i].mMetaType);
        EXPECT_EQ(a.mEvents[i].mData, b.mEvents[i].mData);
    }
}

}  // namespace

// What the writer produces, the reader gives back event for event.
TEST(MidiFileRoundTrip, EveryKindOfEventSurvives) {
    const MidiFile original = SampleFile();
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(WriteMidiFile(original, bytes, error)) << error;
    MidiFile back;
    ASSERT_TRUE(Read(bytes, back));
    EXPECT_EQ(back.mFormat, 1);
    EXPECT_EQ(back.mDivision, 96);
    ASSERT_EQ(back.mTracks.size(), 2u);
    // The writer closes the first track, which had no end-of-track of its own.
    MidiTrack conductor = original.mTracks[0];
    conductor.mEvents.push_back(MidiEvent::EndOfTrack(192));
    ExpectSameEvents(back.mTracks[0], conductor);
    ExpectSameEvents(back.mTracks[1], original.mTracks[1]);
}

TEST(MidiFileRoundTrip, WriterUsesRunningStatusAndLongDeltas) {
    MidiFile file;
    file.mFormat = 0;
    MidiTrack track;
    track.mEvents = {MidiEvent::Channel3(0, 0x90, 60, 100), MidiEvent::Channel3(0x0FFFFFFF, 0x90, 60, 0)};
    file.mTracks = {track};
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(WriteMidiFile(file, bytes, error));
    const Bytes body = {0x00, 0x90, 60, 100, 0xFF, 0xFF, 0xFF, 0x7F, 60, 0, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(bytes, Cat(Header(0, 1, 480), Chunk("MTrk", body)));
}

TEST(MidiFileRoundTrip, WriterRefusesWhatNoFileCanHold) {
    std::string error;
    Bytes bytes;
    MidiFile file;
    EXPECT_FALSE(WriteMidiFile(file, bytes, error));  // no tracks
    file.mTracks.resize(1);
    file.mTracks[0].mEvents = {MidiEvent::Channel3(10, 0x90, 60, 1), MidiEvent::Channel3(5, 0x80, 60, 0)};
    EXPECT_FALSE(WriteMidiFile(file, bytes, error));  // ticks go back
    file.mTracks[0].mEvents = {MidiEvent::Channel3(0, 0x90, 200, 1)};
    EXPECT_FALSE(WriteMidiFile(file, bytes, error));  // data byte above 127
    file.mTracks[0].mEvents = {MidiEvent::Channel2(0, 0x90, 60)};
    EXPECT_FALSE(WriteMidiFile(file, bytes, error));  // a note-on needs two data bytes
    file.mTracks.resize(2);
    file.mFormat = 0;
    file.mTracks[0].mEvents.clear();
    EXPECT_FALSE(WriteMidiFile(file, bytes, error));  // format 0 has one track
    EXPECT_TRUE(bytes.empty());
}

// Files in the wild: running status, meta events between, unknown chunks,
// a header longer than six bytes, no end-of-track.
TEST(MidiFileReader, ToleratesWhatRealFilesDo) {
    Bytes header = Header(1, 2, 480);
    header[7] = 8;  // two extra header bytes
    header.insert(header.end(), {0xAA, 0xBB});
    const Bytes track1 = {0x00, 0x91, 60,   100,                      // note-on
                          0x10, 62,   101,                            // running status
                          0x00, 0xFF, 0x01, 0x02, 'h',  'i',          // text meta
                          0x05, 64,   0,                              // running status after a meta event
                          0x00, 0xC1, 7,    0x01, 8,                  // program changes, one data byte each
                          0x00, 0xFF, 0x2F, 0x00, 0x00, 0x91, 1, 1};  // after the end: ignored
    const Bytes track2 = {0x60, 0xF0, 0x03, 0x43, 0x12, 0xF7};        // sysex, and no end-of-track
    const Bytes bytes = Cat(Cat(Cat(header, Chunk("MTrk", track1)), Chunk("XFIH", {1, 2, 3})), Chunk("MTrk", track2));
    MidiFile file;
    ASSERT_TRUE(Read(bytes, file));
    ASSERT_EQ(file.mTracks.size(), 2u);
    const auto& e = file.mTracks[0].mEvents;
    ASSERT_EQ(e.size(), 7u);
    EXPECT_EQ(e[1].mTick, 0x10u);
    EXPECT_EQ(e[1].mStatus, 0x91);
    EXPECT_EQ(e[1].mData, (Bytes{62, 101}));
    EXPECT_EQ(e[2].mMetaType, 0x01);
    EXPECT_EQ(e[3].mTick, 0x15u);
    EXPECT_EQ(e[3].mData, (Bytes{64, 0}));
    EXPECT_TRUE(e[3].IsNoteOff());
    EXPECT_EQ(e[5].mStatus, 0xC1);
    EXPECT_EQ(e[5].mData, (Bytes{8}));
    EXPECT_EQ(e[6].mMetaType, kMetaEndOfTrack);
    const auto& s = file.mTracks[1].mEvents;
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].mTick, 0x60u);
    EXPECT_TRUE(s[0].IsSysex());
    EXPECT_EQ(s[0].mData, (Bytes{0x43, 0x12, 0xF7}));
}

// Every cut of a valid file is refused: no prefix is a whole file.
TEST(MidiFileReader, RefusesEveryTruncation) {
    Bytes bytes;
    std::string error;
    ASSERT_TRUE(WriteMidiFile(SampleFile(), bytes, error));
    for (size_t n = 0; n < bytes.size(); ++n) {
        const Bytes cut(bytes.begin(), bytes.begin() + long(n));  // its own allocation, for the sanitizer
        MidiFile file;
        EXPECT_FALSE(ReadMidiFile(cut.data(), cut.size(), file, error)) << "prefix of " << n << " bytes";
    }
}

TEST(MidiFileReader, RefusesMalformedTracks) {
    const Bytes header = Header(0, 1, 480);
    const std::vector<Bytes> bodies = {
        {0x00, 60, 100},                       // data byte with no status to run on
        {0x00, 0x90, 60, 0x90},                // status byte inside a message
        {0x80, 0x80, 0x80, 0x80, 0x00, 0x90},  // delta time of five bytes
        {0x00, 0xF8},                          // real-time byte inside a track
        {0x00, 0xFF, 0x51, 0x05, 0x07, 0xA1},  // meta longer than its chunk
        {0x00, 0xF0, 0x81},                    // sysex length cut off
    };
    for (const Bytes& body : bodies) {
        MidiFile file;
        EXPECT_FALSE(Read(Cat(header, Chunk("MTrk", body)), file));
    }
}

TEST(MidiFileReader, RefusesBadHeaders) {
    MidiFile file;
    const Bytes track = Chunk("MTrk", {0x00, 0xFF, 0x2F, 0x00});
    EXPECT_FALSE(Read(Cat(Header(3, 1, 480), track), file));              // unknown format
    EXPECT_FALSE(Read(Cat(Header(0, 2, 480), Cat(track, track)), file));  // format 0 with two tracks
    EXPECT_FALSE(Read(Cat(Header(1, 0, 480), track), file));              // no tracks
    EXPECT_FALSE(Read(Cat(Header(1, 1, 0), track), file));                // no time base
    EXPECT_FALSE(Read(Cat(Header(1, 2, 480), track), file));              // a track missing
    Bytes riff = Cat(Header(1, 1, 480), track);
    riff[0] = 'R';
    EXPECT_FALSE(Read(riff, file));
    std::string error;
    EXPECT_FALSE(ReadMidiFile(nullptr, 0, file, error));
    EXPECT_FALSE(ReadMidiFileFromPath("/nonexistent/file.mid", file, error));
}

// Random bytes behind a valid header and track tag: any answer, but no crash
// and no read past the end (checked by the sanitizer build).
TEST(MidiFileReader, SurvivesGarbage) {
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        Bytes body(size_t(random() % 64));
        for (uint8_t& b : body) b = uint8_t(random());
        Bytes bytes = Cat(Header(1, 1, 96), Chunk("MTrk", body));
        if (round % 3 == 0) bytes.resize(bytes.size() - random() % (bytes.size() + 1));
        MidiFile file;
        std::string error;
        if (ReadMidiFile(bytes.data(), bytes.size(), file, error)) {
            for (const MidiEvent& e : file.mTracks[0].mEvents)
                if (e.IsChannel()) {
                    EXPECT_EQ(e.mData.size(), size_t(MidiDataLength(e.mStatus)));
                }
        }
    }
}

TEST(NoteName, SharpsAndMiddleCInOctaveFour) {
    EXPECT_EQ(NoteName(60), "C4");
    EXPECT_EQ(NoteName(61), "C#4");
    EXPECT_EQ(NoteName(0), "C-1");
    EXPECT_EQ(NoteName(127), "G9");
    EXPECT_EQ(NoteName(57), "A3");
}
