// Writes a drawing as a Windows bitmap: 24 bits per pixel, uncompressed,
// a 54-byte header (14-byte file header, 40-byte information header, no
// colour table), rows bottom-up, each padded to a multiple of 4 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analyzer/plot/pixel_view.h"

namespace analyzer {

constexpr int kBmpHeaderSize = 54;

// Bytes of one stored row: 3 per pixel, padded to a multiple of 4.
uint32_t BmpRowSize(int width);

// The 54 header bytes for a width x height image (both > 0).
std::array<uint8_t, kBmpHeaderSize> BmpHeader(int width, int height);

// Row y of the image (0 the top) as stored: blue, green, red per pixel;
// the padding bytes of `row` are left as they are.
void BmpRow(const PixelView& image, int y, uint8_t* row);

// Replaces the file at `path` atomically: the bitmap is written to a
// temporary file in the same folder, flushed to disk and renamed over the
// target, so a failure never leaves a half bitmap in its place. Needs one
// row of memory beyond the image. False with *error holding the system's
// reason on failure; the target is then untouched. Temporary files that an
// earlier save of this user left in the folder when it was killed are
// deleted first.
bool WriteBmpFile(const std::string& path, const PixelView& image, std::string* error);

} // namespace analyzer
