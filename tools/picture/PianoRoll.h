// A piano roll of a rendered piece, so a musician sees what every voice played without a
// DAW: time across with bar and beat lines, pitch up with note names on the octave lines,
// the notes played in underneath in one neutral colour, the notes that came out on top in
// a colour per channel (brighter when louder), and a legend naming every channel. Drawn
// with the raster library and the editor's text rasteriser.
#pragma once

#include <string>
#include <vector>

#include "graphics/EditorTypes.h"
#include "raster/RasterPixel.h"

class RasterBitmap;
class TextRasterizer;

struct RollNote {
    double mStart = 0.0;  // quarter notes from the start of the piece
    double mLength = 0.0;
    int mNote = 60;
    int mVelocity = 100;
    int mChannel = 0;  // 0..15; not used for the notes played in
};

struct RollContent {
    std::string mTitle;
    std::vector<RollNote> mInput;
    std::vector<RollNote> mOutput;
    int mBeatsPerBar = 4;
    double mQuartersPerBeat = 1.0;  // 0.5 in 6/8
    std::string mChannelNames[16];  // the legend's words after "channel N:", may be empty
};

class PianoRoll {
public:
    // Lays the picture out: its size follows the piece's length and pitch range.
    explicit PianoRoll(const RollContent& content);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // Draws everything into a bitmap of Width() x Height(). Text goes through text when it
    // is given and valid; TextAreas() then lists where it went.
    void Draw(RasterBitmap* bitmap, TextRasterizer* text);
    const std::vector<IBounds>& TextAreas() const { return mTextAreas; }

    // The colour of a channel's loudest notes; quieter notes are darker.
    static RasterPixel ChannelColour(int channel);
    static RasterPixel InputColour();

    static constexpr int kTextHeight = 14;

private:
    int X(double quarters) const;
    int RowTop(int note) const;
    void DrawGrid(RasterBitmap* bitmap, TextRasterizer* text);
    void DrawNotes(RasterBitmap* bitmap);
    void DrawLegend(RasterBitmap* bitmap, TextRasterizer* text);
    void Text(RasterBitmap* bitmap, TextRasterizer* text, const std::string& s, int x, int y, int align, int width,
              RasterPixel colour);

    const RollContent& mContent;
    double mQuartersPerBar = 4.0;
    int mBars = 1;
    double mPixelsPerQuarter = 48.0;
    int mLowest = 48, mHighest = 72;  // the pitch rows shown
    int mRowHeight = 9;
    int mPlotLeft = 0, mPlotTop = 0, mPlotRight = 0, mPlotBottom = 0;
    int mLegendTop = 0;
    std::vector<int> mLegendChannels;  // output channels with notes, ascending
    int mWidth = 0, mHeight = 0;
    std::vector<IBounds> mTextAreas;
};

// Draws the roll with the "Arial" face fontconfig gives and writes it as a PNG; false with
// error set when the picture cannot be written.
bool WritePianoRoll(const RollContent& content, const std::string& path, std::string& error);
