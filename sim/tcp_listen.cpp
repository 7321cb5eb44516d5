#include "sim/tcp_listen.h"

#include "modbus/mbap.h"

namespace sim {

size_t MbapRequestLength(const uint8_t* bytes, size_t size)
{
    modbus::MbapHeader h;
    if (!modbus::ReadMbapHeader(bytes, size, &h))
        return 0;
    if (!modbus::MbapHeaderSane(h))
        return kBadStream;
    return 6 + size_t{h.length};
}

Bytes RtuFromMbap(const uint8_t* frame, size_t size)
{
    return modbus::BuildFrame(frame[6], frame[7], Bytes(frame + 8, frame + size));
}

Bytes MbapFromRtu(uint16_t transaction, const Bytes& rtu)
{
    // Noise (a flood fault) has no frame to carry: it goes out as it is.
    if (rtu.size() < 4)
        return rtu;
    return modbus::BuildMbapFrame(transaction, rtu[0], rtu[1],
                                  Bytes(rtu.begin() + 2, rtu.end() - 2));
}

} // namespace sim
