// A network line as the SERIAL_NET key names it: "tcp://HOST:PORT" for
// Modbus TCP, "rtu-tcp://HOST:PORT" for RTU frames carried over a TCP
// connection (a serial device server or a gateway that passes frames
// through). Pure text handling: connecting is tcp_socket.h's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace net {

enum class Framing : uint8_t {
    ModbusTcp,  // the 7-byte header before the PDU, no checksum
    RtuOverTcp, // RTU frames, checksum included, as on the wire
};

// The registered Modbus port, used when the text gives none.
constexpr uint16_t kModbusPort = 502;

struct Address {
    Framing framing = Framing::ModbusTcp;
    std::string host; // a name, an IPv4 address, or an IPv6 address without its brackets
    uint16_t port = kModbusPort;
};

// False with *reason (a short English sentence) when the text is no
// address: no scheme or an unknown one, no host, a port that is not a
// number from 1 to 65535, blanks or control characters anywhere.
bool ParseAddress(std::string_view text, Address* address, std::string* reason);

// "HOST:PORT", IPv6 hosts in brackets: how messages name the line.
std::string HostPort(const Address& address);

} // namespace net
