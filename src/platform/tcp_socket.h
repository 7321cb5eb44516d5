// A TCP connection as the Modbus link drives it: the same operations as the
// serial port (serial_port.h), so that the engine carries frames over
// either. POSIX implementation in platform/posix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/net_address.h"
#include "platform/serial_port.h"

namespace net {

using serial::Handle;
using serial::Io;
using serial::kNoPort;

// Resolves the host and connects, trying each of its addresses in turn,
// never waiting longer than timeout_s in all, the name lookup included (see
// tcp_lookup.h). The socket is non-blocking, with TCP_NODELAY: a request is
// one small write that must leave at once. kNoPort with *reason (the system's
// words) when no address took the connection.
Handle Connect(const Address& address, double timeout_s, std::string* reason);
void Close(Handle socket);

// As their serial namesakes. A peer that closed the connection is Lost.
Io DiscardInput(Handle socket);
Io WriteAll(Handle socket, const uint8_t* data, size_t size, double timeout_s);
Io ReadSome(Handle socket, uint8_t* buffer, size_t max, size_t* got);
Io WaitReadable(Handle socket, double timeout_s);

} // namespace net
