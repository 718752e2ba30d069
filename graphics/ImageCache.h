// The process-wide store of decoded images, shared by every editor of every plug-in
// instance: an image is decoded once and freed when the module unloads. Each operation
// takes the cache's own lock, never the plug-in's: every function is [any thread]
// (tags as in framework/IEffectBase.h).
#pragma once

class RasterBitmap;

class ImageCache {
public:
    // The bitmap first stored under id, or null.
    static RasterBitmap* Find(int id);
    // Stores the bitmap under id (-1 for images kept only to be freed at unload) and returns
    // the bitmap that id now stands for: when another thread stored one first, that one is
    // returned and the given bitmap is deleted. The cache owns what it keeps; null when
    // the bitmap cannot be stored (it is then deleted).
    static RasterBitmap* Add(int id, RasterBitmap* bitmap);
    // Removes the first entry holding the bitmap and deletes it; false when not cached.
    static bool Release(RasterBitmap* bitmap);
    static int Count();
};
