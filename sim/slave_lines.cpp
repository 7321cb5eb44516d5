// Slaves out of step with the master.
#include "sim/slave_lines.h"

#include <utility>

namespace sim {

bool SameLineSettings(const LineSettings& a, const LineSettings& b)
{
    return a.baud == b.baud && a.parity == b.parity;
}

void Garble(Bytes* frame)
{
    // Sampled at the wrong bit time, a character comes out with its bits
    // shifted and smeared; any fixed change of every byte stands for that.
    for (uint8_t& b : *frame)
        b = uint8_t((b << 1 | b >> 7) ^ 0x5A);
    if (frame->size() >= 4 && modbus::CrcMatches(frame->data(), frame->size()))
        frame->back() ^= 0xFF;
}

SlaveHandler OnlyFunction(uint8_t function, SlaveHandler handler)
{
    return [function, handler = std::move(handler)](const Request& r) -> Reply {
        if (r.function != function)
            return std::nullopt;
        return handler(r);
    };
}

} // namespace sim
