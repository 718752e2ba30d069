// PNG decoding from memory and from files: every colour type lands in the one pixel format,
// the target bitmap is sized and filled, and bad data of any kind returns null cleanly.
#include "images/PngLoader.h"
#include "raster/RasterMemBitmap.h"
#include "tests/images/PngTestImages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

// Fuzzing builds let bad checksums through on purpose; tests that rely on them skip there.
#ifdef TAMBORELLE_FUZZING_BUILD
const bool CHECKSUMS_ENFORCED = false;
#else
const bool CHECKSUMS_ENFORCED = true;
#endif

std::vector<uint32_t> PixelsOf(const RasterBitmap& bm) {
    std::vector<uint32_t> out;
    for (int y = 0; y < bm.GetHeight(); ++y) {
        int row = bm.IsBottomUp() ? bm.GetHeight() - 1 - y : y;
        for (int x = 0; x < bm.GetWidth(); ++x) out.push_back(bm.GetPixelData()[row * bm.GetRowSpan() + x]);
    }
    return out;
}

std::unique_ptr<RasterBitmap> Decode(const Bytes& png) {
    return std::unique_ptr<RasterBitmap>(LoadPngFromMemory(png.data(), int(png.size()), nullptr));
}

// A bitmap stored bottom-up, with rows wider than the image.
class BottomUpBitmap : public RasterBitmap {
public:
    RasterPixel* GetPixelData() const override { return mPixels.empty() ? nullptr : mPixels.data(); }
    int GetWidth() const override { return mW; }
    int GetHeight() const override { return mH; }
    int GetRowSpan() const override { return mW + 3; }
    bool IsBottomUp() const override { return true; }
    bool ResizeTo(int w, int h) override {
        mW = w;
        mH = h;
        mPixels.assign(size_t(h) * size_t(w + 3), 0xDEADBEEF);
        return true;
    }

private:
    int mW = 0, mH = 0;
    mutable std::vector<RasterPixel> mPixels;
};

// A bitmap that cannot grow past a fixed size.
class CappedBitmap : public RasterMemBitmap {
public:
    bool ResizeTo(int w, int h) override { return RasterMemBitmap::ResizeTo(w > 4 ? 4 : w, h); }
};

// Rewrites a chunk's CRC after its contents were changed on purpose.
void FixCrc(Bytes& png, size_t chunkStart) {
    uint32_t length = (uint32_t(png[chunkStart]) << 24) | (png[chunkStart + 1] << 16) | (png[chunkStart + 2] << 8) |
                      png[chunkStart + 3];
    if (chunkStart + 12 + length > png.size()) return;
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = chunkStart + 4; i < chunkStart + 8 + length; ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xFFFFFFFFu;
    size_t at = chunkStart + 8 + length;
    for (int k = 0; k < 4; ++k) png[at + size_t(k)] = (unsigned char)(crc >> (24 - 8 * k));
}

size_t FindChunk(const Bytes& png, const char* type) {
    for (size_t at = 8; at + 12 <= png.size();) {
        if (std::string(png.begin() + long(at) + 4, png.begin() + long(at) + 8) == type) return at;
        uint32_t length = (uint32_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        at += 12 + length;
    }
    return std::string::npos;
}

Bytes SmallRgba() { return EncodeTestPng({"rgba", 7, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false}); }

Bytes WithHeaderSize(uint32_t w, uint32_t h) {
    Bytes png = SmallRgba();
    for (int k = 0; k < 4; ++k) {
        png[16 + size_t(k)] = (unsigned char)(w >> (24 - 8 * k));
        png[20 + size_t(k)] = (unsigned char)(h >> (24 - 8 * k));
    }
    FixCrc(png, 8);
    return png;
}

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/tamborelle-png-" + name;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

// Every colour type and depth decodes to the same A,R,G,B words, from memory and from a file.
class PngColourTypes : public ::testing::TestWithParam<TestPng> {};

TEST_P(PngColourTypes, MemoryDecodeGivesExpectedArgb) {
    Bytes png = EncodeTestPng(GetParam());
    ASSERT_FALSE(png.empty());
    auto bm = Decode(png);
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->GetWidth(), GetParam().mWidth);
    EXPECT_EQ(bm->GetHeight(), GetParam().mHeight);
    EXPECT_EQ(PixelsOf(*bm), ExpectedPixels(GetParam()));
}

TEST_P(PngColourTypes, FileDecodeGivesExpectedArgb) {
    std::string path = TempPath(TestPngName(GetParam()) + ".png");
    ASSERT_TRUE(WriteFile(path, EncodeTestPng(GetParam())));
    std::unique_ptr<RasterBitmap> bm(LoadPngFromFile(path.c_str(), nullptr));
    std::remove(path.c_str());
    ASSERT_TRUE(bm);
    EXPECT_EQ(PixelsOf(*bm), ExpectedPixels(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(AllKinds, PngColourTypes, ::testing::ValuesIn(AllTestPngs()),
                         [](const ::testing::TestParamInfo<TestPng>& info) { return TestPngName(info.param); });

// The target bitmap: created with alignment 4, or the caller's, resized and filled.
TEST(PngTarget, CreatedBitmapHasImageSizeAndPaddedRows) {
    auto bm = Decode(SmallRgba());
    ASSERT_TRUE(bm);
    EXPECT_EQ(bm->GetRowSpan(), 8);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bm->GetPixelData()) % 64, 0u);
}

TEST(PngTarget, PassedBitmapIsResizedAndFilled) {
    TestPng image = {"rgb", 7, 5, PNG_COLOR_TYPE_RGB, 8, false, false};
    Bytes png = EncodeTestPng(image);
    RasterMemBitmap target(40, 30, 16);
    RasterBitmap* result = LoadPngFromMemory(png.data(), int(png.size()), &target);
    EXPECT_EQ(result, &target);
    EXPECT_EQ(target.GetWidth(), 7);
    EXPECT_EQ(target.GetHeight(), 5);
    EXPECT_EQ(PixelsOf(target), ExpectedPixels(image));
}

TEST(PngTarget, BottomUpBitmapGetsImageRowZeroLast) {
    TestPng image = {"rgba", 7, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false};
    Bytes png = EncodeTestPng(image);
    BottomUpBitmap memTarget;
    ASSERT_EQ(LoadPngFromMemory(png.data(), int(png.size()), &memTarget), &memTarget);
    EXPECT_EQ(PixelsOf(memTarget), ExpectedPixels(image));

    std::string path = TempPath("bottom-up.png");
    ASSERT_TRUE(WriteFile(path, png));
    BottomUpBitmap fileTarget;
    EXPECT_EQ(LoadPngFromFile(path.c_str(), &fileTarget), &fileTarget);
    std::remove(path.c_str());
    EXPECT_EQ(PixelsOf(fileTarget), ExpectedPixels(image));
}

TEST(PngTarget, BitmapThatCannotTakeTheSizeFails) {
    Bytes png = SmallRgba();
    CappedBitmap target;
    EXPECT_EQ(LoadPngFromMemory(png.data(), int(png.size()), &target), nullptr);
}

// Files: names are UTF-8; anything unreadable or not a PNG is null.
TEST(PngFile, NonAsciiNameLoads) {
    std::string path = TempPath("gr\xc3\xbcn-\xe2\x99\xab.png");
    ASSERT_TRUE(WriteFile(path, SmallRgba()));
    std::unique_ptr<RasterBitmap> bm(LoadPngFromFile(path.c_str(), nullptr));
    std::remove(path.c_str());
    EXPECT_TRUE(bm);
}

TEST(PngFile, MissingDirectoryOrForeignFileIsNull) {
    EXPECT_EQ(LoadPngFromFile(nullptr, nullptr), nullptr);
    EXPECT_EQ(LoadPngFromFile(TempPath("does-not-exist.png").c_str(), nullptr), nullptr);
    EXPECT_EQ(LoadPngFromFile("/", nullptr), nullptr);
    std::string path = TempPath("not-a-png.png");
    ASSERT_TRUE(WriteFile(path, Bytes(100, 'x')));
    EXPECT_EQ(LoadPngFromFile(path.c_str(), nullptr), nullptr);
    Bytes truncated = SmallRgba();
    truncated.resize(truncated.size() / 2);
    ASSERT_TRUE(WriteFile(path, truncated));
    EXPECT_EQ(LoadPngFromFile(path.c_str(), nullptr), nullptr);
    std::remove(path.c_str());
}

// Bad memory blocks: rejected without a crash or a leak (the sanitizer build checks both).
TEST(PngBadData, TooShortOrWrongSignatureIsRejectedUpFront) {
    Bytes png = SmallRgba();
    EXPECT_EQ(LoadPngFromMemory(nullptr, 100, nullptr), nullptr);
    EXPECT_EQ(LoadPngFromMemory(png.data(), 0, nullptr), nullptr);
    EXPECT_EQ(LoadPngFromMemory(png.data(), 7, nullptr), nullptr);
    EXPECT_EQ(LoadPngFromMemory(png.data(), -5, nullptr), nullptr);
    Bytes wrong = png;
    wrong[1] = 'Q';
    EXPECT_EQ(LoadPngFromMemory(wrong.data(), int(wrong.size()), nullptr), nullptr);
    EXPECT_EQ(LoadPngFromMemory(png.data(), 8, nullptr), nullptr);  // signature only
}

TEST(PngBadData, EveryTruncationBeforeThePixelsEndIsNull) {
    if (!CHECKSUMS_ENFORCED) GTEST_SKIP() << "checksums are not enforced in fuzzing builds";
    Bytes png = SmallRgba();
    size_t iend = FindChunk(png, "IEND");
    ASSERT_NE(iend, std::string::npos);
    // Cut inside the pixel data: the zeros read past the end fail libpng's checks.
    for (size_t length = 8; length < iend; ++length)
        EXPECT_EQ(LoadPngFromMemory(png.data(), int(length), nullptr), nullptr) << "length " << length;
}

TEST(PngBadData, MissingEndChunkStillDecodes) {
    // Reading past the end gives zeros, not an error; nothing after the pixels is checked.
    Bytes png = SmallRgba();
    size_t iend = FindChunk(png, "IEND");
    std::unique_ptr<RasterBitmap> bm(LoadPngFromMemory(png.data(), int(iend), nullptr));
    ASSERT_TRUE(bm);
    EXPECT_EQ(PixelsOf(*bm), ExpectedPixels({"rgba", 7, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false}));
}

TEST(PngBadData, ChunkDeclaredFarLongerThanTheBlockIsNull) {
    // Found by the fuzzer: an IDAT that claims 2 GB in a 193-byte block. The reader must give
    // up soon after the end rather than feed libpng gigabytes of zeros (the test's timeout
    // catches that).
    const Bytes png = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x0c, 0x00, 0x00, 0x00, 0x0c, 0x08, 0x06, 0x00, 0x00, 0x00, 0x56, 0x75, 0x5c, 0xe7, 0x7a, 0x54, 0x58,
        0x74, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x4d, 0x92, 0x4d, 0x6a, 0xdb, 0x60, 0x10, 0x86, 0x1f, 0x7d, 0x52,
        0x65, 0x47, 0x7c, 0x51, 0x48, 0x09, 0x35, 0xa6, 0x18, 0x1f, 0x22, 0x3d, 0x41, 0xa0, 0x27, 0x48, 0x0c, 0x59,
        0x86, 0x1e, 0xc3, 0x8b, 0x40, 0x62, 0xf0, 0x31, 0x4a, 0xd6, 0xbe, 0x42, 0x21, 0x2b, 0x43, 0x36, 0xcd, 0x29,
        0x0c, 0xce, 0xa6, 0x6a, 0x40, 0xb2, 0x25, 0x7f, 0xbf, 0xd3, 0x85, 0x1d, 0xd3, 0xd5, 0xfb, 0x32, 0xcc, 0xcc,
        0xf3, 0x0e, 0x0c, 0x8b, 0xc5, 0x22, 0x05, 0x66, 0x45, 0x71, 0x5a, 0x8f, 0x46, 0xe3, 0x30, 0x1c, 0x7e, 0x8d,
        0xa3, 0xd1, 0x58, 0x46, 0xa3, 0xb1, 0x1c, 0x7c, 0x28, 0x8a, 0xd3, 0x1a, 0x98, 0x2d, 0x16, 0x8b, 0x34, 0x01,
        0x1e, 0xae, 0xae, 0xbe, 0xdf, 0xcf, 0xe7, 0x73, 0xce, 0xcf, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00,
        0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00,
        0x00, 0x00, 0xa1, 0xe1, 0xcb, 0x75, 0x00, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
    };
    EXPECT_EQ(Decode(png), nullptr);
}

TEST(PngBadData, AncillaryChunksDoNotChangeThePixels) {
    // A text chunk before the pixels is skipped, whatever its length claims.
    Bytes png = SmallRgba();
    Bytes text = {0, 0, 0, 5, 't', 'E', 'X', 't', 'A', 0, 'b', 'c', 'd', 0, 0, 0, 0};
    png.insert(png.begin() + 33, text.begin(), text.end());
    FixCrc(png, 33);
    auto bm = Decode(png);
    ASSERT_TRUE(bm);
    EXPECT_EQ(PixelsOf(*bm), ExpectedPixels({"rgba", 7, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false}));

    png[33] = 0x74;  // now 1.9 GB, far beyond the block
    EXPECT_EQ(Decode(png), nullptr);
}

TEST(PngBadData, CorruptedCriticalChunksAreNull) {
    if (!CHECKSUMS_ENFORCED) GTEST_SKIP() << "checksums are not enforced in fuzzing builds";
    Bytes png = SmallRgba();
    size_t idat = FindChunk(png, "IDAT");
    ASSERT_NE(idat, std::string::npos);

    Bytes badHeaderCrc = png;
    badHeaderCrc[29] ^= 0x01;
    EXPECT_EQ(Decode(badHeaderCrc), nullptr);

    Bytes badDataCrc = png;
    badDataCrc[idat + 8 + 3] ^= 0x40;
    EXPECT_EQ(Decode(badDataCrc), nullptr);

    // Compressed data that is not a valid stream, with a correct CRC.
    Bytes badStream = png;
    for (size_t i = idat + 8; i < idat + 14; ++i) badStream[i] = 0xFF;
    FixCrc(badStream, idat);
    EXPECT_EQ(Decode(badStream), nullptr);

    Bytes badColourType = png;
    badColourType[25] = 5;
    FixCrc(badColourType, 8);
    EXPECT_EQ(Decode(badColourType), nullptr);
}

TEST(PngBadData, HugeOrEmptyDeclaredSizeIsNullWithoutAllocating) {
    EXPECT_EQ(Decode(WithHeaderSize(0x7FFFFFFF, 0x7FFFFFFF)), nullptr);
    EXPECT_EQ(Decode(WithHeaderSize(1000000, 1000000)), nullptr);
    EXPECT_EQ(Decode(WithHeaderSize(PNG_MAX_SIDE + 1, 1)), nullptr);
    EXPECT_EQ(Decode(WithHeaderSize(PNG_MAX_SIDE, PNG_MAX_SIDE)), nullptr);  // over the pixel cap
    EXPECT_EQ(Decode(WithHeaderSize(0, 5)), nullptr);

    // A refused size must not have resized the caller's bitmap to it.
    Bytes huge = WithHeaderSize(100000, 100000);
    RasterMemBitmap target(2, 2);
    EXPECT_EQ(LoadPngFromMemory(huge.data(), int(huge.size()), &target), nullptr);
    EXPECT_EQ(target.GetWidth(), 2);
}

TEST(PngBadData, EveryFlippedByteIsHandled) {
    // Whatever a single corrupted byte does, the result is null or a well-formed bitmap.
    Bytes png = EncodeTestPng({"palette", 6, 4, PNG_COLOR_TYPE_PALETTE, 2, true, true});
    for (size_t i = 8; i < png.size(); ++i) {
        Bytes bad = png;
        bad[i] ^= 0xA5;
        std::unique_ptr<RasterBitmap> bm(LoadPngFromMemory(bad.data(), int(bad.size()), nullptr));
        if (bm) {
            EXPECT_GT(bm->GetWidth(), 0) << "byte " << i;
            EXPECT_GT(bm->GetHeight(), 0) << "byte " << i;
        }
    }
}
