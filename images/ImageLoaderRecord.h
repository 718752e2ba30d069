// ImageLoaderRecord: announces a loadable image file format. Each format pushes its record
// onto the front of one process-wide list at start-up.
#pragma once

class RasterBitmap;

struct ImageLoaderRecord {
    // Loads path into bitmap (or a new bitmap when null); with checkExtension the path must
    // carry the format's extension. Null on failure.
    RasterBitmap* (*mpLoad)(const char* path, bool checkExtension, RasterBitmap* bitmap);
    // Double-NUL-terminated pairs of description and pattern, e.g. "PNG files (*.PNG)", "*.PNG".
    const char* (*mpGetExtensions)();
    ImageLoaderRecord* mpNext;
};

// Head of the list, most recently registered first; null when none is registered.
ImageLoaderRecord* GetImageLoaders();

// Called from static initialisation only, before any thread can walk the list.
void RegisterImageLoader(ImageLoaderRecord* record);
