#include "images/ImageLoaderRecord.h"

namespace {

// Constant-initialised, so it is valid before any registrar in another file runs.
ImageLoaderRecord* gpImageLoaders = nullptr;

}  // namespace

ImageLoaderRecord* GetImageLoaders() { return gpImageLoaders; }

void RegisterImageLoader(ImageLoaderRecord* record) {
    if (!record) return;
    record->mpNext = gpImageLoaders;
    gpImageLoaders = record;
}
