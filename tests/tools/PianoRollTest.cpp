// The piano roll: notes where a musician looks for them, in their channel's colour and
// brightness, over the notes played in; and a small fixed piece against its committed
// picture, exact outside the text, as the editor's golden images are checked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "graphics/TextRasterizer.h"
#include "images/PngLoader.h"
#include "raster/RasterMemBitmap.h"
#include "tools/picture/PianoRoll.h"
#include "tools/picture/PngWriter.h"

namespace {

const int TEXT_TOLERANCE = 40;

// Two bars of 4/4: C, E, G played in; channel 1 plays them back, loud then softer,
// channel 2 a fifth above, channel 4 an octave up an eighth late.
RollContent SmallPiece() {
    RollContent c;
    c.mTitle = "small.mid through Tamborelle, 120 BPM, 4/4";
    c.mInput = {{0, 1, 60, 100, 0}, {1, 1, 64, 90, 0}, {2, 2, 67, 80, 0}};
    c.mOutput = {{0, 1, 60, 127, 0}, {1, 1, 64, 64, 0}, {2, 2, 67, 1, 0},     {0, 1, 67, 127, 1},
                 {1, 1, 71, 100, 1}, {2, 2, 74, 80, 1}, {0.5, 1, 72, 110, 3}, {5, 0.25, 76, 90, 3}};
    c.mChannelNames[0] = "main";
    c.mChannelNames[1] = "parallel";
    c.mChannelNames[3] = "v2 1/8 late";
    return c;
}

RasterPixel At(const RasterBitmap& b, int x, int y) { return b.GetPixelData()[y * b.GetRowSpan() + x] & 0xFFFFFF; }

class PianoRollTest : public ::testing::Test {
protected:
    void Draw(const RollContent& content) {
        mRoll.reset(new PianoRoll(content));
        mBitmap.ResizeTo(mRoll->Width(), mRoll->Height());
        mRoll->Draw(&mBitmap, nullptr);
    }
    std::unique_ptr<PianoRoll> mRoll;
    RasterMemBitmap mBitmap;
};

// Finds a note's pixels by scanning its row for the expected colour.
bool RowHas(const RasterBitmap& b, int y, RasterPixel colour, int& firstX) {
    for (int x = 0; x < b.GetWidth(); ++x)
        if (At(b, x, y) == (colour & 0xFFFFFF)) return firstX = x, true;
    return false;
}

int RowOf(const RasterBitmap& b, RasterPixel colour, int& firstX) {
    for (int y = 0; y < b.GetHeight(); ++y)
        if (RowHas(b, y, colour, firstX)) return y;
    return -1;
}

}  // namespace

// A loud note shows its channel's own colour; the same channel at velocity 64 is darker,
// and a played note left alone (G snapped away) shows in the neutral colour.
TEST_F(PianoRollTest, ChannelColourAndVelocityAsBrightness) {
    RollContent c;
    c.mInput = {{0, 1, 66, 100, 0}};
    c.mOutput = {{0, 1, 60, 127, 1}, {1, 1, 62, 64, 1}, {2, 1, 67, 127, 5}};
    Draw(c);
    int x1 = 0, x6 = 0, xin = 0;
    const int loud = RowOf(mBitmap, PianoRoll::ChannelColour(1), x1);
    const int other = RowOf(mBitmap, PianoRoll::ChannelColour(5), x6);
    const int played = RowOf(mBitmap, PianoRoll::InputColour(), xin);
    ASSERT_GE(loud, 0);
    ASSERT_GE(other, 0);
    ASSERT_GE(played, 0);
    // Higher notes sit higher up; later notes further right.
    EXPECT_LT(other, played);
    EXPECT_LT(played, loud);
    EXPECT_GT(x6, x1);
    // The softer note, a beat later: channel 2's blue, darker.
    int soft = -1;
    for (int y = 0; y < mBitmap.GetHeight() && soft < 0; ++y) {
        const RasterPixel p = At(mBitmap, x1 + 60, y);
        if (RasterGreen(p) > 2 * RasterRed(p) && RasterBlue(p) > RasterGreen(p) && RasterBlue(p) >= 100 &&
            RasterBlue(p) < RasterBlue(PianoRoll::ChannelColour(1)))
            soft = y;
    }
    EXPECT_GT(soft, 0);
    EXPECT_LT(soft, loud);  // D above C
}

// Where an output note covers the note played in, the played note still shows as a
// line above and below it.
TEST_F(PianoRollTest, PlayedNoteShowsUnderTheOutput) {
    RollContent c;
    c.mInput = {{0, 2, 60, 100, 0}};
    c.mOutput = {{0, 2, 60, 127, 0}};
    Draw(c);
    int x = 0;
    const int y = RowOf(mBitmap, PianoRoll::ChannelColour(0), x);
    ASSERT_GT(y, 0);
    EXPECT_EQ(At(mBitmap, x + 20, y - 1), PianoRoll::InputColour() & 0xFFFFFF);
    int bottom = y;
    while (At(mBitmap, x + 20, bottom + 1) == (PianoRoll::ChannelColour(0) & 0xFFFFFF)) ++bottom;
    EXPECT_EQ(At(mBitmap, x + 20, bottom + 1), PianoRoll::InputColour() & 0xFFFFFF);
}

// Longer pieces are wider, wider ranges taller, and no piece is too wide to open.
TEST_F(PianoRollTest, SizeFollowsLengthAndRange) {
    RollContent shortPiece, longPiece, widePiece, hugePiece;
    shortPiece.mInput = {{0, 4, 60, 100, 0}};
    longPiece.mInput = {{0, 4, 60, 100, 0}, {60, 4, 60, 100, 0}};
    widePiece.mInput = {{0, 4, 30, 100, 0}, {0, 4, 100, 100, 0}};
    hugePiece.mInput = {{0, 4, 60, 100, 0}, {4000, 4, 60, 100, 0}};
    const PianoRoll s(shortPiece), l(longPiece), w(widePiece), h(hugePiece);
    EXPECT_GT(l.Width(), s.Width());
    EXPECT_GT(w.Height(), s.Height());
    EXPECT_LE(h.Width(), 2100);
    EXPECT_LE(w.Height(), 800);
}

// The committed picture of SmallPiece. To make it again after an intended change, copy
// the actual picture the failure names over tests/tools/golden/roll-small.png.
TEST(PianoRollGolden, SmallPiece) {
    const RollContent content = SmallPiece();
    PianoRoll roll(content);
    RasterMemBitmap actual(roll.Width(), roll.Height());
    TextRasterizer text("Arial", PianoRoll::kTextHeight, TextNormal);
    roll.Draw(&actual, &text);
    const bool sameFace = std::string(text.Family()) == "Liberation Sans";

    const std::string path = std::string(TAMBORELLE_TOOLS_GOLDEN_DIR) + "/roll-small.png";
    const std::string out = ::testing::TempDir() + "actual-roll-small.png";
    RasterBitmap* golden = LoadPngFromFile(path.c_str(), nullptr);
    if (!golden) {
        WritePngRgb(&actual, out.c_str());
        FAIL() << "cannot read " << path << "; the rendering is in " << out;
    }
    ASSERT_EQ(golden->GetWidth(), actual.GetWidth());
    ASSERT_EQ(golden->GetHeight(), actual.GetHeight());
    int exactMisses = 0, textMisses = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < actual.GetHeight(); ++y)
        for (int x = 0; x < actual.GetWidth(); ++x) {
            const RasterPixel a = At(actual, x, y), g = At(*golden, x, y);
            if (a == g) continue;
            bool inText = false;
            for (const IBounds& r : roll.TextAreas()) inText = inText || r.Contains(x, y);
            if (inText && !sameFace) continue;  // another face draws other glyphs
            const bool close = std::abs(int(RasterRed(a)) - int(RasterRed(g))) <= TEXT_TOLERANCE &&
                               std::abs(int(RasterGreen(a)) - int(RasterGreen(g))) <= TEXT_TOLERANCE &&
                               std::abs(int(RasterBlue(a)) - int(RasterBlue(g))) <= TEXT_TOLERANCE;
            if (inText && close) continue;
            if ((inText ? textMisses : exactMisses)++ == 0 && firstX < 0) firstX = x, firstY = y;
        }
    delete golden;
    if (exactMisses || textMisses) {
        WritePngRgb(&actual, out.c_str());
        ADD_FAILURE() << exactMisses << " pixels differ outside text, " << textMisses
                      << " inside text beyond the tolerance; first at (" << firstX << ", " << firstY
                      << "); the rendering is in " << out;
    }
}
