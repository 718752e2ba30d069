// Text through fontconfig and FreeType. The library is set up without reading the
// FREETYPE_PROPERTIES environment, and glyphs are hinted by the light auto-hinter only, so
// a given FreeType release draws the same pixels everywhere.
#include "graphics/TextRasterizer.h"

#include <cstdlib>
#include <cstring>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_SYSTEM_H

#include "raster/RasterBitmap.h"

struct TextRasterizer::Glyph {
    int mLeft = 0;     // bitmap's left edge from the pen position
    int mTop = 0;      // bitmap's top edge above the baseline
    int mAdvance = 0;  // pixels
    int mWidth = 0;
    int mRows = 0;
    unsigned char* mpCoverage = nullptr;  // mWidth * mRows bytes, 0..255
};

namespace {

const FT_Int32 LOAD_FLAGS = FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_LIGHT;

// The face file fontconfig picks for the family and style; false when none.
bool MatchFont(const char* family, int weight, char* path, int pathSize, int* index, char* found, int foundSize) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family && *family ? family : "sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight == TextBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, weight == TextItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* file = nullptr;
    FcChar8* name = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file &&
              std::strlen(reinterpret_cast<char*>(file)) < size_t(pathSize);
    if (ok) {
        std::strcpy(path, reinterpret_cast<char*>(file));
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
            std::strncpy(found, reinterpret_cast<char*>(name), size_t(foundSize) - 1);
    }
    FcPatternDestroy(match);
    return ok;
}

// FreeType's allocator callbacks: a library made with FT_New_Library brings none.
void* FtAlloc(FT_Memory, long size) { return std::malloc(size_t(size)); }
void FtFree(FT_Memory, void* block) { std::free(block); }
void* FtRealloc(FT_Memory, long, long newSize, void* block) { return std::realloc(block, size_t(newSize)); }
FT_MemoryRec_ sFtMemory = {nullptr, FtAlloc, FtFree, FtRealloc};

inline uint32_t Mix(uint32_t dst, uint32_t src, uint32_t a) { return (src * a + dst * (255 - a) + 127) / 255; }

}  // namespace

TextRasterizer::TextRasterizer(const char* family, int cellHeight, int weight) {
    char path[4096];
    int index = 0;
    if (cellHeight <= 0 || !MatchFont(family, weight, path, sizeof(path), &index, mFamily, sizeof(mFamily))) return;

    FT_Library library = nullptr;
    if (FT_New_Library(&sFtMemory, &library) != 0) return;
    FT_Add_Default_Modules(library);
    mpLibrary = library;

    FT_Face face = nullptr;
    if (FT_New_Face(library, path, index, &face) != 0) return;
    // The style's size is the line cell, as on Windows: scale the em so that the face's
    // ascent plus descent fills it.
    int cellUnits = face->ascender - face->descender;
    if (!FT_IS_SCALABLE(face) || cellUnits <= 0 || face->units_per_EM == 0) {
        FT_Done_Face(face);
        return;
    }
    FT_F26Dot6 em = FT_F26Dot6((double(cellHeight) * face->units_per_EM / cellUnits) * 64.0 + 0.5);
    if (FT_Set_Char_Size(face, 0, em, 72, 72) != 0) {
        FT_Done_Face(face);
        return;
    }
    mAscent = int(double(cellHeight) * face->ascender / cellUnits + 0.5);
    mpFace = face;
}

TextRasterizer::~TextRasterizer() {
    for (Glyph* glyph : mpGlyphs) {
        if (glyph) std::free(glyph->mpCoverage);
        delete glyph;
    }
    if (mpFace) FT_Done_Face(static_cast<FT_Face>(mpFace));
    if (mpLibrary) FT_Done_Library(static_cast<FT_Library>(mpLibrary));
}

TextRasterizer::Glyph* TextRasterizer::GlyphFor(unsigned char c) {
    if (mpGlyphs[c]) return mpGlyphs[c];
    Glyph* glyph = new Glyph;
    mpGlyphs[c] = glyph;
    FT_Face face = static_cast<FT_Face>(mpFace);
    // Text bytes are Latin-1, which maps one to one onto the first Unicode block.
    FT_UInt index = FT_Get_Char_Index(face, c);
    if (FT_Load_Glyph(face, index, LOAD_FLAGS) != 0) return glyph;
    glyph->mAdvance = int((face->glyph->advance.x + 32) >> 6);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_LIGHT) != 0) return glyph;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0) return glyph;
    glyph->mpCoverage = static_cast<unsigned char*>(std::malloc(size_t(bitmap.width) * bitmap.rows));
    if (!glyph->mpCoverage) return glyph;
    glyph->mWidth = int(bitmap.width);
    glyph->mRows = int(bitmap.rows);
    glyph->mLeft = face->glyph->bitmap_left;
    glyph->mTop = face->glyph->bitmap_top;
    int grays = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
    for (int y = 0; y < glyph->mRows; ++y) {
        const unsigned char* src = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
        for (int x = 0; x < glyph->mWidth; ++x)
            glyph->mpCoverage[y * glyph->mWidth + x] = static_cast<unsigned char>(src[x] * 255 / grays);
    }
    return glyph;
}

int TextRasterizer::TextWidth(const char* text) {
    if (!mpFace || !text) return 0;
    int width = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        width += GlyphFor(*p)->mAdvance;
    return width;
}

void TextRasterizer::Draw(RasterBitmap* bitmap, const char* text, const IBounds& r, int align, RasterPixel color,
                          const IBounds& clip) {
    if (!mpFace || !bitmap || !text || !bitmap->GetPixelData()) return;
    int penX = r.L;
    if (align == AlignCenter)
        penX = r.L + (r.W() - TextWidth(text)) / 2;
    else if (align == AlignRight)
        penX = r.R - TextWidth(text);
    int baseline = r.T + mAscent;

    int clipL = clip.L > 0 ? clip.L : 0, clipT = clip.T > 0 ? clip.T : 0;
    int clipR = clip.R < bitmap->GetWidth() ? clip.R : bitmap->GetWidth();
    int clipB = clip.B < bitmap->GetHeight() ? clip.B : bitmap->GetHeight();
    uint32_t cr = RasterRed(color), cg = RasterGreen(color), cb = RasterBlue(color);
    RasterPixel* pixels = bitmap->GetPixelData();
    int span = bitmap->GetRowSpan();

    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        Glyph* glyph = GlyphFor(*p);
        int gx = penX + glyph->mLeft, gy = baseline - glyph->mTop;
        for (int y = 0; y < glyph->mRows; ++y) {
            int dy = gy + y;
            if (dy < clipT || dy >= clipB) continue;
            int row = bitmap->IsBottomUp() ? bitmap->GetHeight() - 1 - dy : dy;
            RasterPixel* line = pixels + ptrdiff_t(row) * span;
            const unsigned char* coverage = glyph->mpCoverage + y * glyph->mWidth;
            for (int x = 0; x < glyph->mWidth; ++x) {
                int dx = gx + x;
                uint32_t a = coverage[x];
                if (a == 0 || dx < clipL || dx >= clipR) continue;
                RasterPixel d = line[dx];
                line[dx] = (d & 0xFF000000u) | (Mix(RasterRed(d), cr, a) << 16) | (Mix(RasterGreen(d), cg, a) << 8) |
                           Mix(RasterBlue(d), cb, a);
            }
        }
        penX += glyph->mAdvance;
    }
}
