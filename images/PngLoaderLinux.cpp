// PNG decoding on Linux, through libpng: memory blocks and files into A,R,G,B raster bitmaps.
#include "images/PngLoader.h"

#include "raster/RasterMemBitmap.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const int PNG_SIGNATURE_BYTES = 8;

// Zeros delivered past the end of a memory block before reading counts as an error. A
// truncated image fails on libpng's own checks long before; without a bound, a tiny block
// that declares a 2 GB chunk would be read through to its end, zero by zero.
const size_t MAX_ZEROS_PAST_END = 64 * 1024;

// Reads from a memory block. Past the end it delivers zeros rather than an error, so a
// truncated image fails only where libpng's own checks reject what it reads.
struct MemoryCursor {
    const png_byte* mpNext;
    int32_t mRemaining;
    size_t mZerosPastEnd;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
    MemoryCursor* cursor = static_cast<MemoryCursor*>(png_get_io_ptr(png));
    std::memset(out, 0, count);
    size_t n = count < size_t(cursor->mRemaining) ? count : size_t(cursor->mRemaining);
    if (n > 0) {
        std::memcpy(out, cursor->mpNext, n);
        cursor->mpNext += n;
        cursor->mRemaining -= int32_t(n);
    }
    cursor->mZerosPastEnd += count - n;
    if (cursor->mZerosPastEnd > MAX_ZEROS_PAST_END) png_error(png, "read far past the end of the data");
}

struct PngInput {
    MemoryCursor* mpCursor;  // memory path, or null
    FILE* mpFile;            // file path, or null
};

// Requests the transformations that turn every colour type into four bytes A, R, G, B.
void RequestArgb(png_structp png, png_infop info) {
    int colorType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand(png);
    if (hasTrns) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (bitDepth < 8) png_set_packing(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    // Whatever carries alpha by now (RGBA, grey+alpha, or tRNS turned into alpha) has it
    // last: move it to the front. Everything else gets an opaque alpha in front.
    if ((colorType & PNG_COLOR_MASK_ALPHA) || hasTrns)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
    png_set_interlace_handling(png);
}

// Rows of A, R, G, B bytes become native pixel words, in place.
void PackArgbRows(RasterBitmap* bitmap) {
    RasterPixel* pixels = bitmap->GetPixelData();
    int width = bitmap->GetWidth();
    int height = bitmap->GetHeight();
    int span = bitmap->GetRowSpan();
    for (int y = 0; y < height; ++y) {
        RasterPixel* row = pixels + size_t(y) * size_t(span);
        for (int x = 0; x < width; ++x) {
            const png_byte* b = reinterpret_cast<const png_byte*>(row + x);
            row[x] =
                (RasterPixel(b[0]) << 24) | (RasterPixel(b[1]) << 16) | (RasterPixel(b[2]) << 8) | RasterPixel(b[3]);
        }
    }
}

// The shared decoder. Everything libpng may abandon through its error return is reachable
// from the volatile locals below, so the error path frees it all.
RasterBitmap* Decode(const PngInput& input, RasterBitmap* target) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }

    RasterBitmap* volatile created = nullptr;
    png_bytep* volatile rows = nullptr;

    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(rows);
        delete created;
        return nullptr;
    }

    // Absurd headers are refused inside png_read_info, before any pixel memory exists.
    png_set_user_limits(png, PNG_MAX_SIDE, PNG_MAX_SIDE);
    // Only IHDR, PLTE, tRNS and IDAT matter for the pixels. Everything else is skipped
    // unread: libpng would otherwise allocate whatever length an ancillary chunk declares
    // (this libpng only warns about oversized chunks) and inflate compressed text.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);

#ifdef TAMBORELLE_FUZZING_BUILD
    // Let mutated data past the checksums, so the fuzzer reaches the decoding behind them.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif

    if (input.mpFile)
        png_init_io(png, input.mpFile);
    else
        png_set_read_fn(png, input.mpCursor, ReadFromMemory);

    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || (long long)width * height > PNG_MAX_PIXELS) png_error(png, "image too large");

    RequestArgb(png, info);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "unexpected row layout");

    RasterBitmap* bitmap = target;
    if (!bitmap) {
        bitmap = new (std::nothrow) RasterMemBitmap(0, 0, 4);
        created = bitmap;
        if (!bitmap) png_error(png, "out of memory");
    }
    bitmap->ResizeTo(int(width), int(height));
    if (bitmap->GetWidth() != int(width) || bitmap->GetHeight() != int(height) || !bitmap->GetPixelData() ||
        bitmap->GetRowSpan() < int(width))
        png_error(png, "bitmap size mismatch");

    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows) png_error(png, "out of memory");
    {
        png_bytep first = reinterpret_cast<png_bytep>(bitmap->GetPixelData());
        ptrdiff_t stride = ptrdiff_t(bitmap->GetRowSpan()) * 4;
        // Stored bottom-up, image row 0 is the last stored row.
        if (bitmap->IsBottomUp()) {
            first += stride * ptrdiff_t(height - 1);
            stride = -stride;
        }
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = first + stride * ptrdiff_t(y);
    }

    // No png_read_end: whatever follows the pixels (even a missing IEND) does not matter.
    png_read_image(png, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);

    PackArgbRows(bitmap);
    return bitmap;
}

}  // namespace

RasterBitmap* LoadPngFromMemory(const void* data, int length, RasterBitmap* bitmap) {
    if (!data || length < PNG_SIGNATURE_BYTES) return nullptr;
    if (png_sig_cmp(static_cast<png_const_bytep>(data), 0, PNG_SIGNATURE_BYTES) != 0) return nullptr;
    MemoryCursor cursor = {static_cast<const png_byte*>(data), length, 0};
    PngInput input = {&cursor, nullptr};
    return Decode(input, bitmap);
}

RasterBitmap* LoadPngFromFile(const char* path, RasterBitmap* bitmap) {
    if (!path) return nullptr;
    // Narrow names are UTF-8 already here; there is no wide open to try first.
    FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    PngInput input = {nullptr, file};
    RasterBitmap* result = Decode(input, bitmap);
    std::fclose(file);
    return result;
}
