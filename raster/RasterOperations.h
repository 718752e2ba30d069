// The raster library's drawing operations. Every operation takes a mode word (RasterBlitMode.h)
// and an opacity, honours bottom-up bitmaps for source and destination, clips to the bitmaps
// and does nothing when a bitmap is null or holds no pixels.
//
// Opacity becomes an integer weight trunc(opacity * 256): 1.0 is 256, 0.25 is 64. Weights above
// 256 are treated as 256; an opacity of 0 (or a weight of 0) draws nothing.
#pragma once

#include "raster/RasterBitmap.h"
#include "raster/RasterBlitMode.h"
#include "raster/RasterPixel.h"

#include <cstdint>

// Unscaled copy of the w x h source region at (srcx, srcy) to (dstx, dsty). Channel-copy modes
// move one byte per pixel and ignore the opacity.
void RasterCopyRegion(RasterBitmap* dest, const RasterBitmap* src, int dstx, int dsty, int srcx, int srcy, int w, int h,
                      float opacity, uint32_t mode);

// Copy of the source rectangle scaled to dstw x dsth, nearest or bilinear (BlitFilterBilinear).
// Negative destination extents mirror. Strong bilinear downscales average a 3 x 3 or 5 x 5 box.
void RasterScaleRegion(RasterBitmap* dest, const RasterBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                       float srcy, float srcw, float srch, float opacity, uint32_t mode);

// Copy of the source rectangle into the destination rectangle, rotated by angle (radians,
// clockwise on screen) about the source rectangle's centre shifted by the centre offset.
// clipToSource limits samples to the source rectangle, otherwise the whole source is used.
void RasterRotateRegion(RasterBitmap* dest, const RasterBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                        float srcy, float srcw, float srch, float angle, bool clipToSource, float opacity,
                        uint32_t mode, float centreOffsetX, float centreOffsetY);

// Fills the rectangle with the colour. With BlitUseAlpha the colour's alpha scales the opacity.
void RasterFillRegion(RasterBitmap* dest, int x, int y, int w, int h, RasterPixel colour, float opacity, uint32_t mode);

// Sets every pixel of the rectangle to (pixel & andMask) | orBits.
void RasterClearChannels(RasterBitmap* dest, int x, int y, int w, int h, RasterPixel andMask, RasterPixel orBits);

// Makes dest an exact copy of src, resizing it first.
void RasterCopyWhole(RasterBitmap* dest, const RasterBitmap* src);

// The pixel at (x, y), or 0 outside the bitmap.
RasterPixel RasterReadPixel(const RasterBitmap* bitmap, int x, int y);

// Combines the colour into one pixel; BlitUseAlpha is not applied.
void RasterWritePixel(RasterBitmap* dest, int x, int y, RasterPixel colour, float opacity, uint32_t mode);

// Line from (x1, y1) to (x2, y2), both ends included.
void RasterDrawSegment(RasterBitmap* dest, int x1, int y1, int x2, int y2, RasterPixel colour, float opacity,
                       uint32_t mode, bool antiAlias);

// Outline of the circle of radius r around (cx, cy); pixel centres lie on integer coordinates.
void RasterDrawRing(RasterBitmap* dest, float cx, float cy, float r, RasterPixel colour, float opacity, uint32_t mode,
                    bool antiAlias);

// The part of the ring from minAngle to maxAngle (radians, clockwise on screen from the
// positive x axis; maxAngle - minAngle of 2 pi or more is the whole ring).
void RasterDrawArcSegment(RasterBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
                          RasterPixel colour, float opacity, uint32_t mode, bool antiAlias);
