#include "tests/images/PngTestImages.h"

#include <csetjmp>
#include <cstdio>

namespace {

int Channels(int colorType) {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;  // palette index
    }
}

int PaletteSize(const TestPng& s) {
    return 1 << (s.mBitDepth < 8 ? s.mBitDepth : 6);  // 64 entries are plenty for 8 bits
}

// A deterministic spread of sample values, different per channel and pixel.
unsigned Sample(const TestPng& s, int x, int y, int c) {
    unsigned maxValue = s.mColorType == PNG_COLOR_TYPE_PALETTE ? unsigned(PaletteSize(s) - 1) : (1u << s.mBitDepth) - 1;
    uint32_t h = uint32_t(x * 73856093) ^ uint32_t(y * 19349663) ^ uint32_t(c * 83492791);
    h = h * 2654435761u + uint32_t(x + y * s.mWidth);
    if (maxValue <= 15) return unsigned(x + y * s.mWidth + c) % (maxValue + 1);  // every value, in order
    return (h >> 8) % (maxValue + 1);
}

png_color PaletteEntry(int i) {
    return png_color{png_byte(i * 37 + 11), png_byte(255 - i * 29), png_byte(i * 101 + 3)};
}

png_byte PaletteAlpha(int i) { return png_byte(i * 53 % 256); }

// The colour key: a value that occurs in the image.
png_color_16 TransparentKey(const TestPng& s) {
    png_color_16 key = {};
    key.gray = png_uint_16(Sample(s, 1, 0, 0));
    key.red = png_uint_16(Sample(s, 1, 0, 0));
    key.green = png_uint_16(Sample(s, 1, 0, 1));
    key.blue = png_uint_16(Sample(s, 1, 0, 2));
    return key;
}

void WriteToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

std::vector<png_byte> PackRow(const TestPng& s, int y) {
    int channels = Channels(s.mColorType);
    std::vector<png_byte> row;
    if (s.mBitDepth < 8) {
        row.assign(size_t((s.mWidth * s.mBitDepth + 7) / 8), 0);
        for (int x = 0; x < s.mWidth; ++x) {
            int bit = x * s.mBitDepth;
            row[size_t(bit / 8)] |= png_byte(Sample(s, x, y, 0) << (8 - s.mBitDepth - bit % 8));
        }
        return row;
    }
    for (int x = 0; x < s.mWidth; ++x)
        for (int c = 0; c < channels; ++c) {
            unsigned v = Sample(s, x, y, c);
            if (s.mBitDepth == 16) row.push_back(png_byte(v >> 8));
            row.push_back(png_byte(v & 0xFF));
        }
    return row;
}

unsigned To8(const TestPng& s, unsigned v) {
    if (s.mBitDepth == 16) return v >> 8;  // stripped, not rounded
    return v * 255 / ((1u << s.mBitDepth) - 1);
}

}  // namespace

std::vector<unsigned char> EncodeTestPng(const TestPng& s) {
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return out;
    }
    std::vector<std::vector<png_byte>> rows;
    for (int y = 0; y < s.mHeight; ++y) rows.push_back(PackRow(s, y));
    std::vector<png_bytep> rowPointers;
    for (auto& r : rows) rowPointers.push_back(r.data());
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    png_color_16 key = TransparentKey(s);

    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &out, WriteToVector, NoFlush);
    png_set_IHDR(png, info, png_uint_32(s.mWidth), png_uint_32(s.mHeight), s.mBitDepth, s.mColorType,
                 s.mInterlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (s.mColorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < PaletteSize(s); ++i) {
            palette.push_back(PaletteEntry(i));
            alphas.push_back(PaletteAlpha(i));
        }
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
        if (s.mTransparentColor)
            png_set_tRNS(png, info, alphas.data(), int(alphas.size()) - 1, nullptr);  // last one opaque
    } else if (s.mTransparentColor) {
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint32_t> ExpectedPixels(const TestPng& s) {
    std::vector<uint32_t> pixels;
    png_color_16 key = TransparentKey(s);
    for (int y = 0; y < s.mHeight; ++y)
        for (int x = 0; x < s.mWidth; ++x) {
            unsigned a = 255, r = 0, g = 0, b = 0;
            switch (s.mColorType) {
            case PNG_COLOR_TYPE_GRAY: {
                unsigned v = Sample(s, x, y, 0);
                r = g = b = To8(s, v);
                if (s.mTransparentColor && v == key.gray) a = 0;
                break;
            }
            case PNG_COLOR_TYPE_GRAY_ALPHA:
                r = g = b = To8(s, Sample(s, x, y, 0));
                a = To8(s, Sample(s, x, y, 1));
                break;
            case PNG_COLOR_TYPE_RGB: {
                unsigned v0 = Sample(s, x, y, 0), v1 = Sample(s, x, y, 1), v2 = Sample(s, x, y, 2);
                r = To8(s, v0);
                g = To8(s, v1);
                b = To8(s, v2);
                if (s.mTransparentColor && v0 == key.red && v1 == key.green && v2 == key.blue) a = 0;
                break;
            }
            case PNG_COLOR_TYPE_RGB_ALPHA:
                r = To8(s, Sample(s, x, y, 0));
                g = To8(s, Sample(s, x, y, 1));
                b = To8(s, Sample(s, x, y, 2));
                a = To8(s, Sample(s, x, y, 3));
                break;
            default: {
                int i = int(Sample(s, x, y, 0));
                png_color c = PaletteEntry(i);
                r = c.red;
                g = c.green;
                b = c.blue;
                if (s.mTransparentColor && i < PaletteSize(s) - 1) a = PaletteAlpha(i);
                break;
            }
            }
            pixels.push_back((a << 24) | (r << 16) | (g << 8) | b);
        }
    return pixels;
}

std::vector<TestPng> AllTestPngs() {
    std::vector<TestPng> all;
    auto add = [&](const char* name, int type, int depth) {
        all.push_back({name, 7, 5, type, depth, false, false});
        if (type != PNG_COLOR_TYPE_GRAY_ALPHA && type != PNG_COLOR_TYPE_RGB_ALPHA)
            all.push_back({name, 7, 5, type, depth, false, true});
    };
    for (int depth : {1, 2, 4, 8, 16}) add("grey", PNG_COLOR_TYPE_GRAY, depth);
    for (int depth : {8, 16}) {
        add("greyalpha", PNG_COLOR_TYPE_GRAY_ALPHA, depth);
        add("rgb", PNG_COLOR_TYPE_RGB, depth);
        add("rgba", PNG_COLOR_TYPE_RGB_ALPHA, depth);
    }
    for (int depth : {1, 2, 4, 8}) add("palette", PNG_COLOR_TYPE_PALETTE, depth);
    // Interlacing, on sizes where the smaller passes are empty or partial.
    all.push_back({"rgba", 13, 11, PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false});
    all.push_back({"grey", 3, 2, PNG_COLOR_TYPE_GRAY, 2, true, true});
    all.push_back({"palette", 9, 9, PNG_COLOR_TYPE_PALETTE, 4, true, true});
    all.push_back({"rgb", 1, 1, PNG_COLOR_TYPE_RGB, 16, true, false});
    return all;
}

std::string TestPngName(const TestPng& s) {
    char text[96];
    std::snprintf(text, sizeof text, "%s%d_%dx%d%s%s", s.mName, s.mBitDepth, s.mWidth, s.mHeight,
                  s.mTransparentColor ? "_trns" : "", s.mInterlaced ? "_interlaced" : "");
    return text;
}
