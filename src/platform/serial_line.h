// How a serial line is set: the one description of port, rate and parity
// that the settings, the engine, the capture and the simulator share. The
// numeric parity codes of the configuration file stop at its edge
// (ParityFromCode, ParityCode).
#pragma once

#include <cstdint>

namespace serial {

// Data bits are always 8. The values are the SERIAL_PARITY codes; a value
// outside them (from a hand-edited file) is kept, so that the first request
// can say it is not valid.
enum class Parity : int16_t {
    NoneTwoStopBits = 0,
    Odd = 1,
    Even = 2,
    NoneOneStopBit = 3,
};

inline Parity ParityFromCode(int code) { return Parity(int16_t(code)); }
inline int ParityCode(Parity parity) { return int(parity); }
inline bool ParityValid(Parity parity)
{
    return parity >= Parity::NoneTwoStopBits && parity <= Parity::NoneOneStopBit;
}
inline int StopBits(Parity parity) { return parity == Parity::NoneTwoStopBits ? 2 : 1; }

struct LineSettings {
    int16_t port = 1;    // 1..8 for COM1..COM8; 0 where no port is named
    int32_t baud = 9600; // 300..1000000 bit/s; 0 where it is not known
    Parity parity = Parity::Even;

    bool operator==(const LineSettings&) const = default;
};

} // namespace serial
