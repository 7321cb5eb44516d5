#include "sim/framing.h"

namespace sim {

size_t RequestLength(const uint8_t* bytes, size_t size)
{
    if (size < 2)
        return 0;
    switch (bytes[1]) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        return 8;
    case 15:
    case 16:
        return size < 7 ? 0 : 9 + size_t{bytes[6]};
    case 17:
    case 109:
        return 4;
    case 23:
        return size < 11 ? 0 : 13 + size_t{bytes[10]};
    case 110:
        return 12;
    default:
        return kUnknownLength;
    }
}

} // namespace sim
