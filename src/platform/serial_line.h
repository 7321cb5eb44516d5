// How a serial line is set: the one description of port, rate and parity
// that the settings, the engine, the capture and the simulator share. The
// numeric parity codes of the configuration file stop at its edge
// (ParityFromCode, ParityCode).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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
    // Not an aggregate, so that {port, baud, parity} leaves the network
    // line out without a word.
    LineSettings(int16_t port_n = 1, int32_t baud_rate = 9600, Parity parity_code = Parity::Even)
        : port(port_n), baud(baud_rate), parity(parity_code)
    {}

    int16_t port = 1;    // 1..8 for COM1..COM8; 0 where no port is named
    int32_t baud = 9600; // 300..1000000 bit/s; 0 where it is not known
    Parity parity = Parity::Even;
    // The SERIAL_NET text of a network line, which then replaces the port
    // (baud rate and parity stay stored but belong to the gateway); null or
    // empty for the serial port. Shared, so that copying a line (every
    // captured transaction holds one) never allocates.
    std::shared_ptr<const std::string> net;

    bool IsNetwork() const { return net && !net->empty(); }
    const std::string& Net() const
    {
        static const std::string none;
        return net ? *net : none;
    }
    void SetNet(const std::string& text)
    {
        net = text.empty() ? nullptr : std::make_shared<const std::string>(text);
    }

    bool operator==(const LineSettings& o) const
    {
        return port == o.port && baud == o.baud && parity == o.parity && Net() == o.Net();
    }
};

} // namespace serial
