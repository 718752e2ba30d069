// The Linux window layer without a window: text drawn into the draw bitmap, the image
// request, presenting with no window, the X11 input translation rules and pixels in the
// X server's formats. The window itself is tested under Xvfb in X11EditorTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "framework/IParameter.h"
#include "graphics/IControl.h"
#include "graphics/IEditorBase.h"
#include "graphics/InPlaceEdit.h"
#include "graphics/X11Input.h"
#include "graphics/X11PixelFormat.h"
#include "src/Tamborelle.h"
#include "tests/graphics/EditorTestSupport.h"
#include "tools/tamborelle-snapshot/EditorSession.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

struct Ink {
    int L = 1 << 30, T = 1 << 30, R = -1, B = -1;
    uint32_t darkest = 0xFFFFFFFF;
};

class WindowLayerTest : public ::testing::Test {
protected:
    EditorSession mSession;
    RecordingEditor mEditor{mSession.Plug(), 200, 100};
    IBounds mAll{0, 0, 200, 100};

    void SetUp() override {
        mEditor.PrepareDraw();
        IArgb white(255, 255, 255, 255);
        IBlend replace(BlendReplace);
        mEditor.FillRect(&white, &mAll, &replace);
        mEditor.AttachControl(new RecordingBox(mSession.Plug()));  // so Draw sets the clip
        mEditor.Draw(&mAll);
    }
    // The bounding box of non-white pixels inside r, and the darkest of them by green.
    Ink InkIn(const IBounds& r) {
        Ink ink;
        for (int y = r.T; y < r.B; ++y)
            for (int x = r.L; x < r.R; ++x) {
                uint32_t p = mEditor.GetPoint(x, y).ToPixel();
                if ((p & 0xFFFFFF) == 0xFFFFFF) continue;
                ink.L = std::min(ink.L, x), ink.R = std::max(ink.R, x + 1);
                ink.T = std::min(ink.T, y), ink.B = std::max(ink.B, y + 1);
                if (((p >> 8) & 0xFF) + (p & 0xFF) + ((p >> 16) & 0xFF) <
                    ((ink.darkest >> 8) & 0xFF) + (ink.darkest & 0xFF) + ((ink.darkest >> 16) & 0xFF))
                    ink.darkest = p;
            }
        return ink;
    }
    struct RecordingBox : IControl {
        explicit RecordingBox(IEffectBase* plug) : IControl(plug, IBounds(0, 0, 1, 1)) {}
        bool Draw(IEditorBase*) override { return true; }
    };
};

// Left, centre and right alignment place the text inside its rectangle.
TEST_F(WindowLayerTest, TextAlignment) {
    ITextStyle left("Arial", 14, IArgb(255, 0, 0, 0), TextNormal, AlignLeft);
    ITextStyle centre = left, right = left;
    centre.mAlign = AlignCenter;
    right.mAlign = AlignRight;
    IBounds a(10, 0, 190, 20), b(10, 30, 190, 50), c(10, 60, 190, 80);
    EXPECT_TRUE(mEditor.DrawText(&left, "Mute", &a));
    EXPECT_TRUE(mEditor.DrawText(&centre, "Mute", &b));
    EXPECT_TRUE(mEditor.DrawText(&right, "Mute", &c));
    EXPECT_STREQ("Liberation Sans", mEditor.TextFontFamily()) << "install fonts-liberation";
    Ink la = InkIn(IBounds(0, 0, 200, 25)), lb = InkIn(IBounds(0, 25, 200, 55)), lc = InkIn(IBounds(0, 55, 200, 90));
    ASSERT_GT(la.R, la.L);
    EXPECT_LE(std::abs(la.L - 10), 2);
    EXPECT_LE(std::abs((lb.L + lb.R) / 2 - 100), 2);
    EXPECT_LE(std::abs(lc.R - 190), 2);
    EXPECT_EQ(la.R - la.L, lc.R - lc.L);
    // A 14-pixel line: capitals sit in its upper part, nothing above the rectangle.
    EXPECT_GE(la.T, 0);
    EXPECT_LE(la.B, 14);
    EXPECT_GE(la.B - la.T, 8);
}

// The font of the first call stays; the colour follows every call.
TEST_F(WindowLayerTest, FirstFontStaysColourFollows) {
    ITextStyle small("Arial", 14, IArgb(255, 255, 0, 0), TextNormal, AlignLeft);
    ITextStyle big("Arial", 40, IArgb(255, 0, 0, 255), TextBold, AlignLeft);
    IBounds a(0, 0, 100, 40), b(100, 0, 200, 40);
    mEditor.DrawText(&small, "H", &a);
    mEditor.DrawText(&big, "H", &b);
    Ink ia = InkIn(a), ib = InkIn(b);
    EXPECT_EQ(ia.B - ia.T, ib.B - ib.T);
    EXPECT_EQ(ia.R - ia.L, ib.R - ib.L);
    EXPECT_EQ(0xFFFF0000u, ia.darkest) << "the stem of an H is fully covered";
    EXPECT_EQ(0xFF0000FFu, ib.darkest);
}

// Nothing is drawn for empty text or outside the region being drawn.
TEST_F(WindowLayerTest, TextStaysInsideTheDrawRegion) {
    ITextStyle style("Arial", 14, IArgb(255, 0, 0, 0), TextNormal, AlignLeft);
    IBounds r(0, 0, 200, 20);
    EXPECT_TRUE(mEditor.DrawText(&style, "", &r));
    EXPECT_TRUE(mEditor.DrawText(&style, nullptr, &r));
    EXPECT_EQ(-1, InkIn(mAll).R);

    IBounds region(0, 0, 20, 100);
    mEditor.Draw(&region);  // the clip is now the left 20 columns
    mEditor.DrawText(&style, "Wide text here", &r);
    Ink ink = InkIn(mAll);
    ASSERT_GT(ink.R, 0);
    EXPECT_LE(ink.R, 20);
}

// Images come from the module's "PNG" resources by id; a name that is not a PNG is refused.
TEST_F(WindowLayerTest, ImageRequestAndPresent) {
    RasterBitmap* bitmap = mEditor.LoadImageResource(102, "img/mute-led.png");
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(11, bitmap->GetWidth());
    EXPECT_EQ(22, bitmap->GetHeight());
    delete bitmap;
    EXPECT_EQ(nullptr, mEditor.LoadImageResource(102, "img/mute-led.bmp"));
    EXPECT_EQ(nullptr, mEditor.LoadImageResource(999, "img/none.png"));
    EXPECT_FALSE(mEditor.WindowIsOpen());
    EXPECT_EQ(nullptr, mEditor.OpenWindow(nullptr));
    EXPECT_TRUE(mEditor.PresentToScreen(&mAll));
}

// Keys the editor knows, by keysym; everything else is ignored.
TEST(X11InputTest, KeyCodes) {
    EXPECT_EQ(KeySpace, EditorKeyForKeysym(0x20));
    EXPECT_EQ(KeyArrowUp, EditorKeyForKeysym(0xFF52));
    EXPECT_EQ(KeyArrowDown, EditorKeyForKeysym(0xFF54));
    EXPECT_EQ(KeyArrowLeft, EditorKeyForKeysym(0xFF51));
    EXPECT_EQ(KeyArrowRight, EditorKeyForKeysym(0xFF53));
    EXPECT_EQ(KeyDigit0 + 7, EditorKeyForKeysym('7'));
    EXPECT_EQ(KeyDigit0 + 1, EditorKeyForKeysym(0xFFB1)) << "keypad 1";
    EXPECT_EQ(15, EditorKeyForKeysym('A'));
    EXPECT_EQ(15, EditorKeyForKeysym('a'));
    EXPECT_EQ(40, EditorKeyForKeysym('z'));
    EXPECT_EQ(-1, EditorKeyForKeysym(0xFF0D)) << "Return";
    EXPECT_EQ(-1, EditorKeyForKeysym(0xFF1B)) << "Escape";
    EXPECT_EQ(-1, EditorKeyForKeysym('['));
}

// A press counts its own button as down, a release as up; modifiers come from the mask.
TEST(X11InputTest, PointerStateAndWheel) {
    IPointerState press = EditorPointerForX11(0, 1, true);
    EXPECT_TRUE(press.L);
    EXPECT_FALSE(press.R);
    IPointerState release = EditorPointerForX11(1u << 8, 1, false);
    EXPECT_FALSE(release.L);
    IPointerState drag = EditorPointerForX11((1u << 8) | 1u | 4u | 8u, 0, false);
    EXPECT_TRUE(drag.L && drag.S && drag.C && drag.A);
    IPointerState right = EditorPointerForX11(1u << 8, 3, true);
    EXPECT_TRUE(right.L && right.R);
    EXPECT_EQ(1, EditorWheelNotchesForButton(4));
    EXPECT_EQ(-1, EditorWheelNotchesForButton(5));
    EXPECT_EQ(0, EditorWheelNotchesForButton(1));
}

// Double clicks by time and place; the press after one starts a new pair.
TEST(X11InputTest, DoubleClicks) {
    DoubleClickTracker clicks;
    EXPECT_FALSE(clicks.Press(1000, 50, 50));
    EXPECT_TRUE(clicks.Press(1300, 53, 48));
    EXPECT_FALSE(clicks.Press(1350, 53, 48)) << "no triple click";
    EXPECT_FALSE(clicks.Press(1900, 53, 48));
    EXPECT_FALSE(clicks.Press(2350, 53, 48)) << "too slow";
    EXPECT_FALSE(clicks.Press(2400, 60, 48)) << "too far";
    clicks.Reset();
    EXPECT_FALSE(clicks.Press(2500, 60, 48)) << "a reset breaks the pair";
    EXPECT_FALSE(clicks.Press(0xFFFFFF00ul, 0, 0));
    EXPECT_TRUE(clicks.Press(0x10, 0, 0)) << "server time wraps";
}

// Raster pixels in the formats X servers use, read back the way Xlib reads them.
TEST(X11PixelFormatTest, ServerFormats) {
    struct Case {
        const char* name;
        X11PixelFormat format;
        uint32_t expected;  // the pixel value of 0xFF112280 in that format
    };
    auto format = [](int depth, int bpp, uint32_t r, uint32_t g, uint32_t b, bool msb) {
        X11PixelFormat f;
        f.mDepth = depth, f.mBitsPerPixel = bpp, f.mRedMask = r, f.mGreenMask = g, f.mBlueMask = b, f.mMsbFirst = msb;
        return f;
    };
    const Case cases[] = {
        {"24-bit RGB", format(24, 32, 0xFF0000, 0xFF00, 0xFF, false), 0x112280},
        {"24-bit RGB, MSB first", format(24, 32, 0xFF0000, 0xFF00, 0xFF, true), 0x112280},
        {"24-bit BGR", format(24, 32, 0xFF, 0xFF00, 0xFF0000, false), 0x802211},
        {"32-bit ARGB keeps alpha opaque", format(32, 32, 0xFF0000, 0xFF00, 0xFF, false), 0xFF112280},
        {"16-bit 565", format(16, 16, 0xF800, 0x07E0, 0x1F, false), (0x11u >> 3) << 11 | (0x22u >> 2) << 5 | 0x80 >> 3},
        {"16-bit 565, MSB first", format(16, 16, 0xF800, 0x07E0, 0x1F, true), 0x1110},
        {"15-bit 555", format(15, 16, 0x7C00, 0x03E0, 0x1F, false), (0x11u >> 3) << 10 | (0x22u >> 3) << 5 | 0x80 >> 3},
        {"24-bit packed", format(24, 24, 0xFF0000, 0xFF00, 0xFF, false), 0x112280},
        {"30-bit deep colour", format(30, 32, 0x3FF00000, 0xFFC00, 0x3FF, false), 0x044u << 20 | 0x088u << 10 | 0x202},
    };
    const RasterPixel row[2] = {0xFF112280, 0x00112280};  // alpha never shows
    for (const Case& c : cases) {
        ASSERT_TRUE(c.format.IsSupported()) << c.name;
        uint8_t bytes[8] = {};
        X11ConvertRow(c.format, row, 2, bytes);
        XImage image{};
        image.width = 2, image.height = 1, image.format = ZPixmap, image.data = reinterpret_cast<char*>(bytes);
        image.byte_order = c.format.mMsbFirst ? MSBFirst : LSBFirst;
        image.bitmap_unit = 32, image.bitmap_bit_order = MSBFirst, image.bitmap_pad = 8;
        image.depth = c.format.mDepth, image.bits_per_pixel = c.format.mBitsPerPixel;
        image.bytes_per_line = 2 * c.format.BytesPerPixel();
        ASSERT_TRUE(XInitImage(&image)) << c.name;
        EXPECT_EQ(c.expected, uint32_t(XGetPixel(&image, 0, 0))) << c.name;
        EXPECT_EQ(c.expected, uint32_t(XGetPixel(&image, 1, 0))) << c.name;
    }
    EXPECT_TRUE(cases[0].format.TakesRasterPixels()) << "the usual server takes the draw bitmap as it is";
    EXPECT_FALSE(cases[1].format.TakesRasterPixels());
    EXPECT_FALSE(cases[3].format.TakesRasterPixels()) << "an ARGB window would show the bitmap's alpha";
    X11PixelFormat indexed = format(8, 8, 0, 0, 0, false);
    EXPECT_FALSE(indexed.IsSupported()) << "no colour masks: a palette visual";
}

}  // namespace
