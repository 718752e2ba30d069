// PngLoader: decodes PNG images into raster bitmaps, 32-bit A,R,G,B pixels that are not
// premultiplied (A = 255 where the image has no alpha). Every colour type and bit depth
// comes out in that one format.
//
// Each function returns the bitmap it filled: the one passed in (resized to the image) or,
// when null is passed, a new RasterMemBitmap with row alignment 4 that the caller deletes.
// Failures return null; a bitmap passed in is then resized but its pixels are unspecified.
#pragma once

class RasterBitmap;

// Largest image accepted: a header that declares more is refused before anything is allocated.
const int PNG_MAX_SIDE = 16384;
const long long PNG_MAX_PIXELS = 32LL * 1024 * 1024;

RasterBitmap* LoadPngFromMemory(const void* data, int length, RasterBitmap* bitmap);

// path is UTF-8.
RasterBitmap* LoadPngFromFile(const char* path, RasterBitmap* bitmap);

// The PNG resource with the given id (type "PNG") of the module; module is ignored where
// resources are compiled into a table.
RasterBitmap* LoadPngResource(void* module, int id, RasterBitmap* bitmap);

// The window layer's route for a named image: the name only selects the format (it must end
// in "png", any case), the id selects the resource. Null for any other name.
RasterBitmap* LoadPngResourceByName(void* module, int id, const char* name, RasterBitmap* bitmap);

// The window layer's test: the text after the last '.' (or after the first character when
// there is none) equals "png" ignoring case.
bool PngResourceNameMatches(const char* name);

// The file loader's test: the text from the last '.', '/' or '\' (or the whole path when
// there is none) equals ".png" ignoring case.
bool PngPathHasExtension(const char* path);

// The PNG entry of the image loader list (registered at start-up).
struct ImageLoaderRecord;
ImageLoaderRecord* GetPngLoaderRecord();
