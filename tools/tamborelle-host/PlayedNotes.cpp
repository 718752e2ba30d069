#include "tools/tamborelle-host/PlayedNotes.h"

#include <algorithm>

std::vector<PlayedNote> PairNotes(const std::vector<NoteMessage>& messages, int64_t end) {
    std::vector<PlayedNote> notes;
    // Indexes into notes of the sounding notes per channel and number, oldest first.
    std::vector<std::vector<size_t>> sounding(16 * 128);
    for (const NoteMessage& m : messages) {
        const int type = m.mStatus >> 4;
        if (type != 8 && type != 9) continue;
        const int channel = m.mStatus & 0x0F, note = m.mData1 & 0x7F;
        std::vector<size_t>& open = sounding[size_t(channel * 128 + note)];
        if (type == 9 && m.mData2 > 0) {
            PlayedNote n;
            n.mStart = m.mSample;
            n.mChannel = channel;
            n.mNote = note;
            n.mVelocity = m.mData2;
            open.push_back(notes.size());
            notes.push_back(n);
        } else if (!open.empty()) {
            PlayedNote& n = notes[open.front()];
            n.mLength = std::max<int64_t>(0, m.mSample - n.mStart);
            open.erase(open.begin());
        }
    }
    for (const auto& open : sounding)
        for (size_t i : open) notes[i].mLength = std::max<int64_t>(0, end - notes[i].mStart);
    std::stable_sort(notes.begin(), notes.end(), [](const PlayedNote& a, const PlayedNote& b) {
        if (a.mStart != b.mStart) return a.mStart < b.mStart;
        if (a.mChannel != b.mChannel) return a.mChannel < b.mChannel;
        return a.mNote < b.mNote;
    });
    return notes;
}
