#include "analyzer/plot/bmp_writer.h"

#include <cstring>

namespace analyzer {

namespace {

constexpr int kInfoHeaderSize = 40;
constexpr uint32_t kPixelsPerMetre = 3780; // 96 dpi, the resolution the plot is drawn for

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

} // namespace

uint32_t BmpRowSize(int width) { return (uint32_t(width) * 3 + 3) & ~uint32_t(3); }

std::array<uint8_t, kBmpHeaderSize> BmpHeader(int width, int height)
{
    std::array<uint8_t, kBmpHeaderSize> h{};
    const uint32_t image_size = BmpRowSize(width) * uint32_t(height);
    uint8_t* p = h.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, kBmpHeaderSize + image_size); // file size
    Put32(p + 10, kBmpHeaderSize);             // offset of the pixels
    Put32(p + 14, kInfoHeaderSize);
    Put32(p + 18, uint32_t(width));
    Put32(p + 22, uint32_t(height)); // positive: bottom-up rows
    Put16(p + 26, 1);                // planes
    Put16(p + 28, 24);               // bits per pixel
    Put32(p + 30, 0);                // no compression
    Put32(p + 34, image_size);
    Put32(p + 38, kPixelsPerMetre);
    Put32(p + 42, kPixelsPerMetre);
    // Colours used and important colours: 0, no colour table.
    return h;
}

void BmpRow(const PixelView& image, int y, uint8_t* row)
{
    const uint8_t* src = image.data + size_t(y) * size_t(image.stride);
    for (int x = 0; x < image.width; ++x) {
        uint32_t px;
        std::memcpy(&px, src + 4 * size_t(x), 4);   // 0x00RRGGBB, native order
        row[3 * size_t(x)] = uint8_t(px);           // blue
        row[3 * size_t(x) + 1] = uint8_t(px >> 8);  // green
        row[3 * size_t(x) + 2] = uint8_t(px >> 16); // red
    }
}

} // namespace analyzer
