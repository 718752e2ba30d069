// Writes a raster bitmap's colour as an 8-bit RGB PNG through libpng: the editor's
// snapshots, the piano roll, and the pictures tests leave behind when they fail.
#pragma once

#include <string>

class RasterBitmap;

// False on failure, with *error (when given) saying why; a partly written file is removed.
bool WritePngRgb(const RasterBitmap* bitmap, const char* path, std::string* error = nullptr);
