#include "graphics/ImageCache.h"

#include <mutex>

#include "framework/GrowArray.h"
#include "raster/RasterBitmap.h"

namespace {

struct ImageCacheEntry {
    int mId;
    RasterBitmap* mpBitmap;
};

// Lives until the module unloads; then frees every bitmap, the entries and the lock.
struct ImageCacheStore {
    GrowArray<ImageCacheEntry> mEntries{256};
    std::mutex mLock;

    ~ImageCacheStore() {
        for (int i = 0; i < mEntries.Count(); ++i) delete mEntries[i].mpBitmap;
        mEntries.Clear();
    }
};

ImageCacheStore sStore;

}  // namespace

RasterBitmap* ImageCache::Find(int id) {
    std::lock_guard<std::mutex> guard(sStore.mLock);
    for (int i = 0; i < sStore.mEntries.Count(); ++i)
        if (sStore.mEntries[i].mId == id) return sStore.mEntries[i].mpBitmap;
    return nullptr;
}

RasterBitmap* ImageCache::Add(int id, RasterBitmap* bitmap) {
    if (!bitmap) return nullptr;
    std::lock_guard<std::mutex> guard(sStore.mLock);
    if (id >= 0) {
        for (int i = 0; i < sStore.mEntries.Count(); ++i) {
            if (sStore.mEntries[i].mId == id) {
                delete bitmap;  // decoded twice by racing editors; keep the first
                return sStore.mEntries[i].mpBitmap;
            }
        }
    }
    if (!sStore.mEntries.Add(ImageCacheEntry{id, bitmap})) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

bool ImageCache::Release(RasterBitmap* bitmap) {
    if (!bitmap) return false;
    std::lock_guard<std::mutex> guard(sStore.mLock);
    for (int i = 0; i < sStore.mEntries.Count(); ++i) {
        if (sStore.mEntries[i].mpBitmap == bitmap) {
            sStore.mEntries.RemoveAt(i);
            delete bitmap;
            return true;
        }
    }
    return false;
}

int ImageCache::Count() {
    std::lock_guard<std::mutex> guard(sStore.mLock);
    return sStore.mEntries.Count();
}
