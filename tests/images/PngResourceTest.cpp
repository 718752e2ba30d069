// The module's own images: found by id and type, decoded at their sizes, and the window
// layer's name test that routes a request to them.
#include "images/ModuleResource.h"
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Resource {
    int mId;
    int mWidth;
    int mHeight;
    bool mOpaque;
};

const Resource MODULE_IMAGES[] = {
    {100, 410, 680, true},                        // background
    {101, 12, 12, false},                         // fader handle
    {102, 11, 22, false},                         // mute LED, two frames
    {103, 12, 24, false},  {104, 12, 24, false},  // snap LED, two frames
};

std::unique_ptr<RasterBitmap> Load(int id, const char* name = "img/x.png") {
    return std::unique_ptr<RasterBitmap>(LoadPngResourceByName(nullptr, id, name, nullptr));
}

}  // namespace

// The five images decode at their sizes; the background is opaque, the others use alpha.
TEST(PngResource, ModuleImagesDecodeAtTheirSizes) {
    for (const Resource& r : MODULE_IMAGES) {
        std::unique_ptr<RasterBitmap> bm(LoadPngResource(nullptr, r.mId, nullptr));
        ASSERT_TRUE(bm) << r.mId;
        EXPECT_EQ(bm->GetWidth(), r.mWidth) << r.mId;
        EXPECT_EQ(bm->GetHeight(), r.mHeight) << r.mId;
        bool allOpaque = true;
        for (int y = 0; y < bm->GetHeight(); ++y)
            for (int x = 0; x < bm->GetWidth(); ++x)
                allOpaque = allOpaque && (bm->GetPixelData()[y * bm->GetRowSpan() + x] >> 24) == 255;
        EXPECT_EQ(allOpaque, r.mOpaque) << r.mId;
    }
}

TEST(PngResource, LedFramesDifferBetweenOffAndOn) {
    for (int id : {102, 104}) {
        std::unique_ptr<RasterBitmap> bm(LoadPngResource(nullptr, id, nullptr));
        ASSERT_TRUE(bm);
        int frame = bm->GetHeight() / 2;
        int centre = bm->GetWidth() / 2;
        uint32_t off = bm->GetPixelData()[(frame / 2) * bm->GetRowSpan() + centre];
        uint32_t on = bm->GetPixelData()[(frame + frame / 2) * bm->GetRowSpan() + centre];
        auto brightness = [](uint32_t p) { return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF); };
        EXPECT_GT(brightness(on), brightness(off) + 150) << id;
    }
}

// Lookup: missing is nothing, only the low 16 bits of the id count, type ignores case.
TEST(PngResource, LookupByIdAndType) {
    const void* data = reinterpret_cast<const void*>(1);
    int size = -1;
    EXPECT_FALSE(FindModuleResource(nullptr, 99, "PNG", &data, &size));
    EXPECT_FALSE(FindModuleResource(nullptr, 100, "BMP", &data, &size));
    EXPECT_EQ(data, reinterpret_cast<const void*>(1));
    EXPECT_EQ(size, -1);
    EXPECT_EQ(LoadPngResource(nullptr, 99, nullptr), nullptr);

    ASSERT_TRUE(FindModuleResource(nullptr, 100 + 0x10000, "png", &data, &size));
    EXPECT_GT(size, 8);
}

TEST(PngResource, PassedBitmapIsFilled) {
    std::unique_ptr<RasterBitmap> target(LoadPngResource(nullptr, 101, nullptr));
    ASSERT_TRUE(target);
    EXPECT_EQ(LoadPngResource(nullptr, 100, target.get()), target.get());
    EXPECT_EQ(target->GetWidth(), 410);
    EXPECT_EQ(target->GetHeight(), 680);
}

// The window layer's name test: the text after the last '.', any case.
TEST(PngResourceName, ExtensionSelectsTheFormatOnly) {
    EXPECT_TRUE(Load(101, "img/fader-handle.png"));
    EXPECT_TRUE(Load(101, "HANDLE.PNG"));
    EXPECT_TRUE(Load(101, "handle.Png"));
    EXPECT_FALSE(Load(101, "handle.jpg"));
    EXPECT_FALSE(Load(101, "handle.png.bak"));
    EXPECT_FALSE(Load(101, nullptr));
    EXPECT_FALSE(Load(101, ""));
    EXPECT_FALSE(Load(99, "missing.png"));
}

TEST(PngResourceName, NameWithoutDotIsComparedAfterItsFirstCharacter) {
    EXPECT_TRUE(PngResourceNameMatches("xpng"));
    EXPECT_TRUE(PngResourceNameMatches(".png"));
    EXPECT_FALSE(PngResourceNameMatches("png"));
    EXPECT_FALSE(PngResourceNameMatches("."));
    EXPECT_FALSE(PngResourceNameMatches("a.pn"));
}
