#include "graphics/EditorTypes.h"

#include <cstring>

#include "raster/RasterBlitMode.h"

uint32_t BlendImageMode(const IBlend* blend) {
    switch (blend ? blend->mMode : BlendNormal) {
    case BlendReplace: return BlitCopy;
    case BlendAdd: return BlitUseAlpha | BlitAdd;
    case BlendDodge: return BlitUseAlpha | BlitDodge;
    default: return BlitUseAlpha | BlitCopy;
    }
}

uint32_t BlendPointMode(const IBlend* blend) {
    switch (blend ? blend->mMode : BlendNormal) {
    case BlendAdd: return BlitAdd;
    case BlendDodge: return BlitDodge;
    default: return BlitCopy;
    }
}

ITextStyle::ITextStyle(const char* font, int32_t size, const IArgb& color, int32_t style, int32_t align,
                       int32_t orientation)
    : mSize(size), mColor(color), mStyle(style), mAlign(align), mOrientation(orientation) {
    std::memset(mFont, 0, sizeof(mFont));
    if (font) std::strncpy(mFont, font, sizeof(mFont) - 1);
}
