// The PNG entry of the image loader list: registered at start-up, its extension list, and
// its load function's extension check in front of the file loader.
#include "images/ImageLoaderRecord.h"
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"
#include "tests/images/PngTestImages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string WriteSmallPng(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir && *dir ? dir : "/tmp") + "/tamborelle-record-" + name;
    auto bytes = EncodeTestPng({"rgb", 3, 2, PNG_COLOR_TYPE_RGB, 8, false, false});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return std::string();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

}  // namespace

TEST(ImageLoaderRecord, PngRecordIsOnTheListWithItsExtensions) {
    bool found = false;
    for (ImageLoaderRecord* r = GetImageLoaders(); r; r = r->mpNext) found = found || r == GetPngLoaderRecord();
    EXPECT_TRUE(found);

    const char* list = GetPngLoaderRecord()->mpGetExtensions();
    EXPECT_STREQ(list, "PNG files (*.PNG)");
    list += std::strlen(list) + 1;
    EXPECT_STREQ(list, "*.PNG");
    EXPECT_EQ(list[std::strlen(list) + 1], '\0');
}

TEST(ImageLoaderRecord, NewRecordGoesToTheFront) {
    ImageLoaderRecord other = {nullptr, nullptr, nullptr};
    ImageLoaderRecord* before = GetImageLoaders();
    RegisterImageLoader(&other);
    EXPECT_EQ(GetImageLoaders(), &other);
    EXPECT_EQ(other.mpNext, before);
}

// The file test takes the text from the last '.', '/' or '\'.
TEST(ImageLoaderRecord, ExtensionTest) {
    EXPECT_TRUE(PngPathHasExtension("a.png"));
    EXPECT_TRUE(PngPathHasExtension("dir/B.PNG"));
    EXPECT_TRUE(PngPathHasExtension("c:\\x\\y.Png"));
    EXPECT_TRUE(PngPathHasExtension(".png"));
    EXPECT_FALSE(PngPathHasExtension("png"));
    EXPECT_FALSE(PngPathHasExtension("dir.png/file"));
    EXPECT_FALSE(PngPathHasExtension("dir.png\\file"));
    EXPECT_FALSE(PngPathHasExtension("a.png.jpg"));
    EXPECT_FALSE(PngPathHasExtension(nullptr));
}

TEST(ImageLoaderRecord, LoadChecksTheExtensionOnlyWhenAsked) {
    std::string png = WriteSmallPng("img.PNG");
    std::string dat = WriteSmallPng("img.dat");
    ASSERT_FALSE(png.empty());
    ASSERT_FALSE(dat.empty());
    auto load = GetPngLoaderRecord()->mpLoad;

    std::unique_ptr<RasterBitmap> a(load(png.c_str(), true, nullptr));
    EXPECT_TRUE(a);
    EXPECT_EQ(load(dat.c_str(), true, nullptr), nullptr);
    std::unique_ptr<RasterBitmap> b(load(dat.c_str(), false, nullptr));
    EXPECT_TRUE(b);
    std::remove(png.c_str());
    std::remove(dat.c_str());
}
