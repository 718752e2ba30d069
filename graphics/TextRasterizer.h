// Draws text into a raster bitmap with one font: the face is found through fontconfig,
// glyphs are rendered anti-aliased by FreeType once and cached, and each glyph's coverage
// is blended into the 32-bit pixels in the requested colour. Used by the Linux window
// layer's text drawing: every function is [GUI thread] (tags as in framework/IEffectBase.h).
#pragma once

#include "graphics/EditorTypes.h"
#include "raster/RasterPixel.h"

class RasterBitmap;

class TextRasterizer {
public:
    // cellHeight is the height of a text line in pixels, ascent plus descent, as the
    // editor's styles give it. weight is a text style (normal, bold, italic).
    TextRasterizer(const char* family, int cellHeight, int weight);
    ~TextRasterizer();
    TextRasterizer(const TextRasterizer&) = delete;
    TextRasterizer& operator=(const TextRasterizer&) = delete;

    // False when no face could be loaded; drawing then does nothing.
    bool IsValid() const { return mpFace != nullptr; }
    const char* Family() const { return mFamily; }
    // Advance width of the text in pixels.
    int TextWidth(const char* text);
    // Draws the text with its line cell's top at r.T, aligned left, centred or right in r,
    // touching only pixels inside clip.
    void Draw(RasterBitmap* bitmap, const char* text, const IBounds& r, int align, RasterPixel color,
              const IBounds& clip);

private:
    struct Glyph;
    Glyph* GlyphFor(unsigned char c);

    void* mpLibrary = nullptr;  // FT_Library
    void* mpFace = nullptr;     // FT_Face
    int mAscent = 0;            // pixels from the cell's top to the baseline
    char mFamily[64] = {};
    Glyph* mpGlyphs[256] = {};
};
