// The piano roll: a small fixed piece against its committed picture, exact outside the
// text, as the editor's golden images are checked; and sizes that follow the piece without
// growing too large to open.
#include <gtest/gtest.h>

#include <cstdlib>
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

}  // namespace

// Longer pieces are wider, wider ranges taller, and no piece is too wide to open.
TEST(PianoRoll, SizeFollowsLengthAndRange) {
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
TEST(PianoRoll, SmallPieceMatchesItsPicture) {
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
