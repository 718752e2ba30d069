// PNG decoding on Windows, through the Windows Imaging Component, which every Windows has
// (there is no libpng for this toolchain). WIC's 32bppBGRA is exactly the raster pixel:
// bytes B, G, R, A, straight alpha.
#include "images/PngLoader.h"

#include "raster/RasterMemBitmap.h"

#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const int PNG_SIGNATURE_BYTES = 8;
const unsigned char PNG_SIGNATURE[PNG_SIGNATURE_BYTES] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
const int MAX_WIDE_PATH = 2048;
const size_t MAX_FILE_BYTES = 256u * 1024u * 1024u;

// COM on this thread for one load. A thread already in the other apartment model still
// works with WIC; only a successful initialisation of ours is undone.
class ComScope {
public:
    ComScope() {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        mUninitialize = SUCCEEDED(hr);
        mUsable = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }
    ~ComScope() {
        if (mUninitialize) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    bool Usable() const { return mUsable; }

private:
    bool mUninitialize = false;
    bool mUsable = false;
};

template <class T>
void Release(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

// Copies the converted frame row by row, so any row span and bottom-up storage work.
HRESULT CopyRows(IWICBitmapSource* source, RasterBitmap* bitmap, UINT width, UINT height) {
    RasterPixel* pixels = bitmap->GetPixelData();
    size_t span = size_t(bitmap->GetRowSpan());
    UINT rowBytes = width * 4;
    for (UINT y = 0; y < height; ++y) {
        size_t stored = bitmap->IsBottomUp() ? size_t(height - 1 - y) : size_t(y);
        WICRect rect = {0, INT(y), INT(width), 1};
        HRESULT hr = source->CopyPixels(&rect, rowBytes, rowBytes, reinterpret_cast<BYTE*>(pixels + stored * span));
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

RasterBitmap* Decode(const void* data, int length, RasterBitmap* target) {
    ComScope com;
    if (!com.Usable()) return nullptr;

    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    RasterBitmap* bitmap = nullptr;
    RasterBitmap* created = nullptr;
    UINT width = 0, height = 0;
    GUID container = {};

    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromMemory(const_cast<BYTE*>(static_cast<const BYTE*>(data)), DWORD(length));
    if (SUCCEEDED(hr)) hr = factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(hr)) hr = decoder->GetContainerFormat(&container);
    if (SUCCEEDED(hr) && !IsEqualGUID(container, GUID_ContainerFormatPng)) hr = E_FAIL;
    if (SUCCEEDED(hr)) hr = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
    // Absurd headers are refused before anything the size of the image is allocated.
    if (SUCCEEDED(hr) && (width == 0 || height == 0 || width > UINT(PNG_MAX_SIDE) || height > UINT(PNG_MAX_SIDE) ||
                          (long long)width * height > PNG_MAX_PIXELS))
        hr = E_FAIL;
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
        hr = converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(hr)) {
        bitmap = target;
        if (!bitmap) bitmap = created = new (std::nothrow) RasterMemBitmap(0, 0, 4);
        if (!bitmap) hr = E_OUTOFMEMORY;
    }
    if (SUCCEEDED(hr)) {
        bitmap->ResizeTo(int(width), int(height));
        if (bitmap->GetWidth() != int(width) || bitmap->GetHeight() != int(height) || !bitmap->GetPixelData() ||
            bitmap->GetRowSpan() < int(width))
            hr = E_FAIL;
    }
    if (SUCCEEDED(hr)) hr = CopyRows(converter, bitmap, width, height);

    Release(converter);
    Release(frame);
    Release(decoder);
    Release(stream);
    Release(factory);
    if (FAILED(hr)) {
        delete created;
        return nullptr;
    }
    return bitmap;
}

// The path is UTF-8: open it as a wide name first, then as given.
FILE* OpenForReading(const char* path) {
    wchar_t wide[MAX_WIDE_PATH];
    FILE* file = nullptr;
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, MAX_WIDE_PATH) > 0)
        file = _wfopen(wide, L"rb");
    if (!file) file = std::fopen(path, "rb");
    return file;
}

// The whole file in one heap block (null when unreadable or beyond the size cap).
unsigned char* ReadWholeFile(FILE* file, size_t* size) {
    size_t used = 0, capacity = 0;
    unsigned char* buffer = nullptr;
    for (;;) {
        if (used == capacity) {
            size_t grown = capacity ? capacity * 2 : 64 * 1024;
            if (grown > MAX_FILE_BYTES) break;
            unsigned char* p = static_cast<unsigned char*>(std::realloc(buffer, grown));
            if (!p) break;
            buffer = p;
            capacity = grown;
        }
        size_t n = std::fread(buffer + used, 1, capacity - used, file);
        used += n;
        if (n == 0) {
            if (std::ferror(file)) break;
            *size = used;
            return buffer;
        }
    }
    std::free(buffer);
    return nullptr;
}

}  // namespace

RasterBitmap* LoadPngFromMemory(const void* data, int length, RasterBitmap* bitmap) {
    if (!data || length < PNG_SIGNATURE_BYTES) return nullptr;
    if (std::memcmp(data, PNG_SIGNATURE, PNG_SIGNATURE_BYTES) != 0) return nullptr;
    return Decode(data, length, bitmap);
}

RasterBitmap* LoadPngFromFile(const char* path, RasterBitmap* bitmap) {
    if (!path) return nullptr;
    FILE* file = OpenForReading(path);
    if (!file) return nullptr;
    size_t size = 0;
    unsigned char* bytes = ReadWholeFile(file, &size);
    std::fclose(file);
    if (!bytes) return nullptr;
    RasterBitmap* result = size <= 0x7FFFFFFF ? LoadPngFromMemory(bytes, int(size), bitmap) : nullptr;
    std::free(bytes);
    return result;
}
