#include "tools/picture/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "raster/RasterBitmap.h"

namespace {

bool WriteRows(FILE* file, int w, int h, std::vector<png_bytep>& rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePngRgb(const RasterBitmap* bitmap, const char* path, std::string* error) {
    if (!bitmap || !bitmap->GetPixelData() || !path) {
        if (error) *error = "nothing to write";
        return false;
    }
    int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    std::vector<png_byte> rgb(size_t(w) * size_t(h) * 3);
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        int stored = bitmap->IsBottomUp() ? h - 1 - y : y;
        const RasterPixel* src = bitmap->GetPixelData() + ptrdiff_t(stored) * bitmap->GetRowSpan();
        png_bytep dst = rgb.data() + size_t(y) * size_t(w) * 3;
        rows[size_t(y)] = dst;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = png_byte(RasterRed(src[x]));
            dst[3 * x + 1] = png_byte(RasterGreen(src[x]));
            dst[3 * x + 2] = png_byte(RasterBlue(src[x]));
        }
    }
    FILE* file = std::fopen(path, "wb");
    if (!file) {
        if (error) *error = std::string("cannot write ") + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = WriteRows(file, w, h, rows);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        if (error)
            *error = std::string("cannot write ") + path + ": " + (errno ? std::strerror(errno) : "libpng failed");
        std::remove(path);
    }
    return ok;
}
