#include "tools/midi/MidiFileWriter.h"

#include <cstdio>

namespace {

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void PutVlq(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t bytes[4];
    int n = 0;
    do {
        bytes[n++] = uint8_t(v & 0x7F);
        v >>= 7;
    } while (v && n < 4);
    while (n > 1) out.push_back(uint8_t(bytes[--n] | 0x80));
    out.push_back(bytes[0]);
}

constexpr uint64_t kMaxVlq = 0x0FFFFFFF;

bool WriteTrack(const MidiTrack& track, std::vector<uint8_t>& out, std::string& error) {
    std::vector<uint8_t> body;
    uint64_t tick = 0;
    uint8_t running = 0;
    bool ended = false;
    for (const MidiEvent& e : track.mEvents) {
        if (ended) return Fail(error, "event after the end of the track");
        if (e.mTick < tick) return Fail(error, "ticks decrease");
        if (e.mTick - tick > kMaxVlq) return Fail(error, "delta time too large");
        if (e.mData.size() > kMaxVlq) return Fail(error, "event too long");
        PutVlq(body, uint32_t(e.mTick - tick));
        tick = e.mTick;
        if (e.IsChannel()) {
            if (e.mData.size() != size_t(MidiDataLength(e.mStatus))) return Fail(error, "wrong data length");
            for (uint8_t b : e.mData)
                if (b & 0x80) return Fail(error, "data byte above 127");
            if (e.mStatus != running) body.push_back(e.mStatus);
            running = e.mStatus;
            body.insert(body.end(), e.mData.begin(), e.mData.end());
        } else if (e.IsMeta() || e.IsSysex()) {
            if (e.IsMeta() && (e.mMetaType & 0x80)) return Fail(error, "meta type above 127");
            body.push_back(e.mStatus);
            if (e.IsMeta()) body.push_back(e.mMetaType);
            PutVlq(body, uint32_t(e.mData.size()));
            body.insert(body.end(), e.mData.begin(), e.mData.end());
            running = 0;  // readers may cancel running status here
            ended = e.IsMeta() && e.mMetaType == kMetaEndOfTrack;
        } else {
            return Fail(error, "not a channel, sysex or meta event");
        }
    }
    if (!ended) {
        body.push_back(0);
        body.push_back(0xFF);
        body.push_back(kMetaEndOfTrack);
        body.push_back(0);
    }
    if (body.size() > 0xFFFFFFFFu) return Fail(error, "track too long");
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    PutU32(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return true;
}

}  // namespace

bool WriteMidiFile(const MidiFile& file, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    if (file.mFormat < 0 || file.mFormat > 2) return Fail(error, "unknown format");
    if (file.mTracks.empty() || file.mTracks.size() > 0xFFFF) return Fail(error, "bad track count");
    if (file.mFormat == 0 && file.mTracks.size() != 1) return Fail(error, "format 0 takes exactly one track");
    if (file.mDivision == 0) return Fail(error, "zero time division");
    out.insert(out.end(), {'M', 'T', 'h', 'd'});
    PutU32(out, 6);
    PutU16(out, uint32_t(file.mFormat));
    PutU16(out, uint32_t(file.mTracks.size()));
    PutU16(out, file.mDivision);
    for (size_t i = 0; i < file.mTracks.size(); ++i) {
        std::string why;
        if (!WriteTrack(file.mTracks[i], out, why)) {
            out.clear();
            return Fail(error, "track " + std::to_string(i + 1) + ": " + why);
        }
    }
    return true;
}

bool WriteMidiFileToPath(const MidiFile& file, const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!WriteMidiFile(file, bytes, error)) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return Fail(error, "cannot create " + path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) return Fail(error, "cannot write " + path);
    return true;
}
