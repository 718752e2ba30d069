#include "tools/picture/PianoRoll.h"

#include <algorithm>
#include <cmath>

#include "graphics/TextRasterizer.h"
#include "raster/RasterMemBitmap.h"
#include "raster/RasterOperations.h"
#include "tools/midi/NoteName.h"
#include "tools/picture/PngWriter.h"

namespace {

const RasterPixel BACKGROUND = 0xFF1C1C21;
const RasterPixel WHITE_KEY_ROW = 0xFF27272E;
const RasterPixel BLACK_KEY_ROW = 0xFF202026;
const RasterPixel BEAT_LINE = 0xFF34343D;
const RasterPixel OCTAVE_LINE = 0xFF4A4A56;
const RasterPixel BAR_LINE = 0xFF70707E;
const RasterPixel TEXT = 0xFFC8C8D2;
const RasterPixel INPUT_NOTE = 0xFF8E8E99;

const RasterPixel CHANNEL_COLOURS[16] = {
    0xFFFF9F1C, 0xFF2EC4F1, 0xFF7BD66E, 0xFFE45CF5, 0xFFF4E04D, 0xFFFF5A5F, 0xFF5B7CFA, 0xFF2ED6B0,
    0xFFFF8FB8, 0xFFB8E04A, 0xFFA27BFF, 0xFFFFC46B, 0xFF8FD3FF, 0xFFFF7F50, 0xFF9CF0C8, 0xFFE0E0E0,
};

const int LEFT_MARGIN = 44;  // note names
const int RIGHT_MARGIN = 14;
const int TITLE_TOP = 8;
const int BAR_NUMBER_TOP = 30;
const int PLOT_TOP = 48;
const int LEGEND_GAP = 14;
const int LEGEND_ROW = 20;
const int LEGEND_ENTRY = 240;
const int BOTTOM_MARGIN = 8;
const int MIN_WIDTH = 560;
const int MAX_PLOT_WIDTH = 2000;
const int MIN_PITCH_ROWS = 25;  // two octaves
const int MAX_PLOT_HEIGHT = 600;

bool IsBlackKey(int note) {
    const int pc = note % 12;
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

// Velocity as brightness: a note at velocity 1 keeps 30 % of its channel's colour.
RasterPixel Shade(RasterPixel colour, int velocity) {
    const int v = std::clamp(velocity, 1, 127);
    const uint32_t f = uint32_t(77 + (255 - 77) * v / 127);  // 0..255
    auto scale = [f](uint32_t c) { return (c * f + 127) / 255; };
    return RasterMakePixel(255, scale(RasterRed(colour)), scale(RasterGreen(colour)), scale(RasterBlue(colour)));
}

void Fill(RasterBitmap* bitmap, int x0, int y0, int x1, int y1, RasterPixel colour) {
    if (x1 > x0 && y1 > y0) RasterFillRegion(bitmap, x0, y0, x1 - x0, y1 - y0, colour, 1.0f, BlitCopy);
}

}  // namespace

RasterPixel PianoRoll::ChannelColour(int channel) { return CHANNEL_COLOURS[channel & 15]; }
RasterPixel PianoRoll::InputColour() { return INPUT_NOTE; }

PianoRoll::PianoRoll(const RollContent& content) : mContent(content) {
    const int beatsPerBar = std::max(1, content.mBeatsPerBar);
    const double perBeat = content.mQuartersPerBeat > 0 ? content.mQuartersPerBeat : 1.0;
    mQuartersPerBar = beatsPerBar * perBeat;

    double end = 0.0;
    int lowest = 128, highest = -1;
    bool used[16] = {};
    for (const std::vector<RollNote>* notes : {&content.mInput, &content.mOutput})
        for (const RollNote& n : *notes) {
            end = std::max(end, n.mStart + std::max(0.0, n.mLength));
            lowest = std::min(lowest, std::clamp(n.mNote, 0, 127));
            highest = std::max(highest, std::clamp(n.mNote, 0, 127));
        }
    for (const RollNote& n : content.mOutput) used[n.mChannel & 15] = true;
    for (int c = 0; c < 16; ++c)
        if (used[c]) mLegendChannels.push_back(c);

    mBars = std::max(1, int(std::ceil(end / mQuartersPerBar - 1e-9)));
    const double quarters = mBars * mQuartersPerBar;
    // Long pieces are squeezed rather than made too wide to look at.
    if (quarters * mPixelsPerQuarter > MAX_PLOT_WIDTH) mPixelsPerQuarter = MAX_PLOT_WIDTH / quarters;

    // Two semitones of air around the notes, and at least two octaves.
    if (highest < 0) lowest = 60, highest = 60;
    mLowest = std::max(0, lowest - 2);
    mHighest = std::min(127, highest + 2);
    while (mHighest - mLowest + 1 < MIN_PITCH_ROWS) {
        if (mHighest < 127) ++mHighest;
        if (mHighest - mLowest + 1 < MIN_PITCH_ROWS && mLowest > 0) --mLowest;
    }
    const int rows = mHighest - mLowest + 1;
    mRowHeight = std::clamp(MAX_PLOT_HEIGHT / rows, 3, 9);

    mPlotLeft = LEFT_MARGIN;
    mPlotTop = PLOT_TOP;
    mPlotRight = X(quarters) + 1;  // the closing bar line
    mPlotBottom = mPlotTop + rows * mRowHeight;
    mWidth = std::max(MIN_WIDTH, mPlotRight + RIGHT_MARGIN);
    const int perRow = std::max(1, (mWidth - LEFT_MARGIN - RIGHT_MARGIN) / LEGEND_ENTRY);
    const int entries = 1 + int(mLegendChannels.size());
    mLegendTop = mPlotBottom + LEGEND_GAP;
    mHeight = mLegendTop + (entries + perRow - 1) / perRow * LEGEND_ROW + BOTTOM_MARGIN;
}

int PianoRoll::X(double quarters) const { return mPlotLeft + int(std::lround(quarters * mPixelsPerQuarter)); }

int PianoRoll::RowTop(int note) const { return mPlotTop + (mHighest - note) * mRowHeight; }

void PianoRoll::Text(RasterBitmap* bitmap, TextRasterizer* text, const std::string& s, int x, int y, int align,
                     int width, RasterPixel colour) {
    if (!text || !text->IsValid() || s.empty()) return;
    const IBounds r(x, y, x + width, y + kTextHeight);
    text->Draw(bitmap, s.c_str(), r, align, colour, IBounds(0, 0, mWidth, mHeight));
    // Where the glyphs can reach: the line cell, widened for overhanging strokes.
    const int w = text->TextWidth(s.c_str());
    const int left = align == AlignRight ? r.R - w : align == AlignCenter ? r.L + (width - w) / 2 : r.L;
    mTextAreas.push_back(IBounds(left - 2, r.T - 1, left + w + 2, r.B + 1));
}

void PianoRoll::DrawGrid(RasterBitmap* bitmap, TextRasterizer* text) {
    for (int note = mLowest; note <= mHighest; ++note) {
        const int top = RowTop(note);
        Fill(bitmap, mPlotLeft, top, mPlotRight, top + mRowHeight, IsBlackKey(note) ? BLACK_KEY_ROW : WHITE_KEY_ROW);
    }
    const double perBeat = mContent.mQuartersPerBeat > 0 ? mContent.mQuartersPerBeat : 1.0;
    const int beatsPerBar = std::max(1, mContent.mBeatsPerBar);
    // Beats only where they stay apart from each other.
    if (perBeat * mPixelsPerQuarter >= 6)
        for (int bar = 0; bar < mBars; ++bar)
            for (int beat = 1; beat < beatsPerBar; ++beat) {
                const int x = X(bar * mQuartersPerBar + beat * perBeat);
                Fill(bitmap, x, mPlotTop, x + 1, mPlotBottom, BEAT_LINE);
            }
    for (int note = mLowest; note <= mHighest; ++note) {
        if (note % 12 != 0) continue;
        const int bottom = RowTop(note) + mRowHeight;
        Fill(bitmap, mPlotLeft, bottom - 1, mPlotRight, bottom, OCTAVE_LINE);
        Text(bitmap, text, NoteName(note), 0, bottom - mRowHeight / 2 - kTextHeight / 2 - 1, AlignRight, mPlotLeft - 6,
             TEXT);
    }
    // Bar lines and numbers as far apart as a number needs, and the closing line.
    const double barWidth = mQuartersPerBar * mPixelsPerQuarter;
    const int every = std::max(1, int(std::ceil(28.0 / barWidth)));
    for (int bar = 0; bar <= mBars; ++bar) {
        if (bar % every != 0 && bar != mBars) continue;
        const int x = X(bar * mQuartersPerBar);
        Fill(bitmap, x, mPlotTop, x + 1, mPlotBottom, BAR_LINE);
        if (bar < mBars && bar % every == 0) {
            Fill(bitmap, x, BAR_NUMBER_TOP + 2, x + 1, mPlotTop, BAR_LINE);
            Text(bitmap, text, std::to_string(bar + 1), x + 4, BAR_NUMBER_TOP, AlignLeft, 40, TEXT);
        }
    }
}

void PianoRoll::DrawNotes(RasterBitmap* bitmap) {
    auto span = [this](const RollNote& n, int& x0, int& x1) {
        x0 = X(n.mStart);
        x1 = std::max(x0 + 2, X(n.mStart + std::max(0.0, n.mLength)) - 1);  // a gap before the next
    };
    for (const RollNote& n : mContent.mInput) {
        if (n.mNote < mLowest || n.mNote > mHighest) continue;
        int x0, x1;
        span(n, x0, x1);
        const int top = RowTop(n.mNote);
        Fill(bitmap, x0, top, x1, top + mRowHeight - 1, INPUT_NOTE);
    }
    // One pixel narrower above and below, so a played note under an output note shows.
    const int inset = mRowHeight >= 5 ? 1 : 0;
    for (const RollNote& n : mContent.mOutput) {
        if (n.mNote < mLowest || n.mNote > mHighest) continue;
        int x0, x1;
        span(n, x0, x1);
        const int top = RowTop(n.mNote);
        Fill(bitmap, x0, top + inset, x1, top + mRowHeight - 1 - inset, Shade(ChannelColour(n.mChannel), n.mVelocity));
    }
}

void PianoRoll::DrawLegend(RasterBitmap* bitmap, TextRasterizer* text) {
    const int perRow = std::max(1, (mWidth - LEFT_MARGIN - RIGHT_MARGIN) / LEGEND_ENTRY);
    auto entry = [&](int i, RasterPixel colour, const std::string& label) {
        const int x = mPlotLeft + i % perRow * LEGEND_ENTRY, y = mLegendTop + i / perRow * LEGEND_ROW;
        Fill(bitmap, x, y + 3, x + 16, y + 11, colour);
        Text(bitmap, text, label, x + 22, y, AlignLeft, LEGEND_ENTRY - 26, TEXT);
    };
    entry(0, INPUT_NOTE, "played in");
    for (size_t i = 0; i < mLegendChannels.size(); ++i) {
        const int c = mLegendChannels[i];
        const std::string& name = mContent.mChannelNames[c];
        entry(int(i) + 1, ChannelColour(c), "channel " + std::to_string(c + 1) + (name.empty() ? "" : ": " + name));
    }
}

void PianoRoll::Draw(RasterBitmap* bitmap, TextRasterizer* text) {
    mTextAreas.clear();
    if (!bitmap) return;
    Fill(bitmap, 0, 0, mWidth, mHeight, BACKGROUND);
    Text(bitmap, text, mContent.mTitle, mPlotLeft, TITLE_TOP, AlignLeft, mWidth - mPlotLeft - RIGHT_MARGIN, TEXT);
    DrawGrid(bitmap, text);
    DrawNotes(bitmap);
    DrawLegend(bitmap, text);
}

bool WritePianoRoll(const RollContent& content, const std::string& path, std::string& error) {
    PianoRoll roll(content);
    RasterMemBitmap bitmap(roll.Width(), roll.Height());
    TextRasterizer text("Arial", PianoRoll::kTextHeight, TextNormal);
    roll.Draw(&bitmap, &text);
    return WritePngRgb(&bitmap, path.c_str(), &error);
}
