// One transaction as the capture keeps it: what went out, what came back,
// when, and on which line. Fixed size, so that a ring of them is allocated
// once.
#pragma once

#include <cstdint>

#include "modbus/codec.h"
#include "modbus/protocol.h"
#include "platform/serial_line.h"

namespace modbus {

struct Transaction {
    uint64_t sequence = 0;
    int64_t sent_us = 0;       // monotonic clock, when the whole request had left
    int64_t ended_us = 0;      // monotonic clock, when the reply was complete or the wait gave up
    serial::LineSettings line; // as the port was opened for it
    float timeout_s = 0;       // reply time-out
    int16_t result = 0;        // the engine's result code for the frame
    uint16_t request_size = 0;
    uint16_t reply_size = 0;     // bytes kept in `reply`
    uint32_t reply_received = 0; // bytes received, also those beyond what is kept
    uint8_t request[kMaxFrame];
    // As received, also when partial or wrong.
    uint8_t reply[kMaxFrame];

    // Modbus TCP frames: the header comes first, the unit (the slave
    // address) at byte 6; RTU frames, on the port or over TCP, start with it.
    bool Mbap() const { return line.Net().rfind("tcp://", 0) == 0; }
    size_t AddressAt() const { return Mbap() ? 6 : 0; }

    bool Broadcast() const
    {
        return request_size > AddressAt() && request[AddressAt()] == kBroadcastAddress;
    }
};

} // namespace modbus
