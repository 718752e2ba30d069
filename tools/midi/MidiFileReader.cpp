#include "tools/midi/MidiFileReader.h"

#include <cstdio>
#include <vector>

namespace {

// Larger inputs are not MIDI files anyone means to render.
constexpr size_t kMaxFileSize = 64u * 1024u * 1024u;

// A bounds-checked cursor over one chunk's bytes.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool AtEnd() const { return mPos >= mSize; }
    size_t Left() const { return mSize - mPos; }
    size_t Pos() const { return mPos; }

    bool Byte(uint8_t& out) {
        if (mPos >= mSize) return false;
        out = mData[mPos++];
        return true;
    }
    bool Peek(uint8_t& out) const {
        if (mPos >= mSize) return false;
        out = mData[mPos];
        return true;
    }
    bool Skip(size_t n) {
        if (n > Left()) return false;
        mPos += n;
        return true;
    }
    bool Bytes(size_t n, std::vector<uint8_t>& out) {
        if (n > Left()) return false;
        out.assign(mData + mPos, mData + mPos + n);
        mPos += n;
        return true;
    }
    bool U16(uint32_t& out) {
        if (Left() < 2) return false;
        out = (uint32_t(mData[mPos]) << 8) | mData[mPos + 1];
        mPos += 2;
        return true;
    }
    bool U32(uint32_t& out) {
        if (Left() < 4) return false;
        out = (uint32_t(mData[mPos]) << 24) | (uint32_t(mData[mPos + 1]) << 16) | (uint32_t(mData[mPos + 2]) << 8) |
              mData[mPos + 3];
        mPos += 4;
        return true;
    }
    // Variable-length quantity: at most four bytes, seven bits each.
    bool Vlq(uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b = 0;
            if (!Byte(b)) return false;
            out = (out << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

bool ReadTrack(const uint8_t* data, size_t size, MidiTrack& track, std::string& error) {
    ByteReader in(data, size);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!in.AtEnd()) {
        uint32_t delta = 0;
        if (!in.Vlq(delta)) return Fail(error, "bad or truncated delta time");
        tick += delta;
        uint8_t first = 0;
        if (!in.Peek(first)) return Fail(error, "truncated event");
        MidiEvent event;
        event.mTick = tick;
        if (first == 0xFF) {
            in.Skip(1);
            uint32_t length = 0;
            if (!in.Byte(event.mMetaType) || !in.Vlq(length) || !in.Bytes(length, event.mData))
                return Fail(error, "truncated meta event");
            event.mStatus = 0xFF;
            track.mEvents.push_back(std::move(event));
            // Nothing after the end of the track belongs to it.
            if (track.mEvents.back().mMetaType == kMetaEndOfTrack) return true;
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            in.Skip(1);
            uint32_t length = 0;
            if (!in.Vlq(length) || !in.Bytes(length, event.mData)) return Fail(error, "truncated sysex event");
            event.mStatus = first;
            track.mEvents.push_back(std::move(event));
            continue;
        }
        if (first > 0xF0) return Fail(error, "system message inside a track");
        uint8_t status = running;
        if (first & 0x80) {
            in.Skip(1);
            status = first;
        } else if (!status) {
            return Fail(error, "data byte without a running status");
        }
        // Meta and sysex events leave the running status alone: valid files never
        // rely on it there, and some writers do.
        running = status;
        event.mStatus = status;
        const int count = MidiDataLength(status);
        for (int i = 0; i < count; ++i) {
            uint8_t b = 0;
            if (!in.Byte(b)) return Fail(error, "truncated channel message");
            if (b & 0x80) return Fail(error, "status byte where a data byte belongs");
            event.mData.push_back(b);
        }
        track.mEvents.push_back(std::move(event));
    }
    return true;  // a missing end-of-track is common and harmless
}

}  // namespace

bool ReadMidiFile(const uint8_t* data, size_t size, MidiFile& file, std::string& error) {
    file = MidiFile{};
    if (!data && size != 0) return Fail(error, "no data");
    ByteReader in(data, size);
    std::vector<uint8_t> tag;
    uint32_t length = 0;
    if (!in.Bytes(4, tag) || tag != std::vector<uint8_t>{'M', 'T', 'h', 'd'})
        return Fail(error, "not a Standard MIDI File (no MThd header)");
    uint32_t format = 0, tracks = 0, division = 0;
    if (!in.U32(length) || length < 6 || length > in.Left()) return Fail(error, "truncated header");
    in.U16(format);
    in.U16(tracks);
    in.U16(division);
    in.Skip(length - 6);
    if (format > 2) return Fail(error, "unknown format " + std::to_string(format));
    if (tracks == 0) return Fail(error, "no tracks");
    if (format == 0 && tracks != 1) return Fail(error, "format 0 with more than one track");
    if (division == 0) return Fail(error, "zero time division");
    file.mFormat = int(format);
    file.mDivision = uint16_t(division);

    while (file.mTracks.size() < tracks) {
        if (!in.Bytes(4, tag) || !in.U32(length))
            return Fail(error, "truncated file: " + std::to_string(file.mTracks.size()) + " of " +
                                   std::to_string(tracks) + " tracks");
        if (length > in.Left()) return Fail(error, "truncated chunk");
        const uint8_t* body = data + in.Pos();
        in.Skip(length);
        if (tag != std::vector<uint8_t>{'M', 'T', 'r', 'k'}) continue;  // unknown chunks are skipped
        MidiTrack track;
        std::string why;
        if (!ReadTrack(body, length, track, why))
            return Fail(error, "track " + std::to_string(file.mTracks.size() + 1) + ": " + why);
        file.mTracks.push_back(std::move(track));
    }
    return true;
}

bool ReadMidiFileFromPath(const std::string& path, MidiFile& file, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return Fail(error, "cannot open " + path);
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t got = 0;
    bool tooLarge = false;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (bytes.size() > kMaxFileSize) {
            tooLarge = true;
            break;
        }
    }
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) return Fail(error, "cannot read " + path);
    if (tooLarge) return Fail(error, path + " is too large for a MIDI file");
    if (!ReadMidiFile(bytes.data(), bytes.size(), file, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
