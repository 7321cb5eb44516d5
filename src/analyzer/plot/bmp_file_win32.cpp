// Writing the bitmap file on Windows: the whole file is made in memory and
// replaced like every other file of the program (sys::WriteFileAtomic).
#include "analyzer/plot/bmp_writer.h"

#include <algorithm>
#include <cstdint>

#include "platform/system.h"

namespace analyzer {

bool WriteBmpFile(const std::string& path, const PixelView& image, std::string* error)
{
    // A 32-bit file size limits the image (far beyond any plot).
    if (!image.data || image.width <= 0 || image.height <= 0 ||
        uint64_t(BmpRowSize(image.width)) * uint64_t(image.height) + kBmpHeaderSize > UINT32_MAX) {
        if (error)
            *error = "Invalid argument";
        return false;
    }
    const size_t row_size = BmpRowSize(image.width);
    const auto header = BmpHeader(image.width, image.height);
    std::string content(kBmpHeaderSize + row_size * size_t(image.height), '\0');
    std::copy(header.begin(), header.end(), content.begin());
    uint8_t* rows = reinterpret_cast<uint8_t*>(content.data()) + kBmpHeaderSize;
    for (int y = image.height - 1, i = 0; y >= 0; --y, ++i)
        BmpRow(image, y, rows + size_t(i) * row_size);
    return sys::WriteFileAtomic(path, content, error);
}

} // namespace analyzer
