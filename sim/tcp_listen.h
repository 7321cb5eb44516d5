// The simulator's TCP side: listening sockets on the loopback address, and
// how Modbus TCP requests are cut from a connection's stream.
#pragma once

#include "sim/slave.h"

#include <string>

namespace sim {

// A non-blocking listening socket on 127.0.0.1:port (0: a free port, which
// *bound receives). -1 with *error set when it cannot be made.
int ListenLoopback(int port, int* bound, std::string* error);

// Length of the Modbus TCP request at the start of bytes: 0 while its header
// is incomplete, kBadStream when the header is none a request can have (the
// connection is then out of step for good).
constexpr size_t kBadStream = static_cast<size_t>(-1);
size_t MbapRequestLength(const uint8_t* bytes, size_t size);

// A Modbus TCP frame as the RTU frame it carries (unit as the address,
// checksum added), and back: what the slaves and the faults work on is the
// same on every line.
Bytes RtuFromMbap(const uint8_t* frame, size_t size);
Bytes MbapFromRtu(uint16_t transaction, const Bytes& rtu);

} // namespace sim
