#include "tools/picture/PianoRoll.h"
#include "tools/tamborelle-host/RollPicture.h"

namespace {

std::vector<RollNote> RollNotes(const std::vector<PlayedNote>& notes) {
    std::vector<RollNote> out;
    for (const PlayedNote& n : notes)
        out.push_back({n.mStartQuarters, n.mLengthQuarters, n.mNote, n.mVelocity, n.mChannel});
    return out;
}

}  // namespace

bool WriteRollPicture(const RenderReport& report, const ChannelVoices& voices, const std::string& title,
                      const std::string& path, std::string& error) {
    RollContent content;
    content.mTitle = title;
    content.mInput = RollNotes(report.mInputNotes);
    content.mOutput = RollNotes(report.mOutputNotes);
    content.mBeatsPerBar = report.mNumerator;
    content.mQuartersPerBeat = 4.0 / report.mDenominator;
    for (int c = 0; c < 16; ++c) content.mChannelNames[c] = voices.mNames[c];
    return WritePianoRoll(content, path, error);
}
