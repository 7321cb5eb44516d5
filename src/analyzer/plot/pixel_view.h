// Pixels of the plot drawing as the window and the bitmap writer read them.
#pragma once

#include <cstdint>

namespace analyzer {

// Rows of 32-bit pixels in native byte order, 0x00RRGGBB (cairo's RGB24
// format; the top byte is unused), the first row at the top.
struct PixelView {
    const uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // bytes from one row to the next
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// Smallest rectangle holding both (an empty one adds nothing).
PixelRect Union(const PixelRect& a, const PixelRect& b);
// The part of `r` inside a width x height image.
PixelRect ClipTo(const PixelRect& r, int width, int height);

} // namespace analyzer
