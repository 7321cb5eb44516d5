// One transaction as the capture keeps it: what went out, what came back,
// when, and on which port settings. Fixed size, so that a ring of them is
// allocated once.
#pragma once

#include <cstdint>

#include "modbus/codec.h"
#include "modbus/protocol.h"

namespace modbus {

// The port as it was opened for the transaction.
struct PortSettings {
    int16_t port = 0;    // 1..8 for COM1..COM8
    int32_t baud = 0;    // bit/s
    int16_t parity = 0;  // 0 none + 2 stop bits, 1 odd, 2 even, 3 none + 1 stop bit
    float timeout_s = 0; // reply time-out

    bool operator==(const PortSettings&) const = default;
};

struct Transaction {
    uint64_t sequence = 0;
    int64_t sent_us = 0;  // monotonic clock, when the whole request had left
    int64_t ended_us = 0; // monotonic clock, when the reply was complete or the wait gave up
    PortSettings settings;
    int16_t result = 0;           // the engine's result code for the frame
    uint16_t request_size = 0;
    uint16_t reply_size = 0;      // bytes kept in `reply`
    uint32_t reply_received = 0;  // bytes received, also those beyond what is kept
    uint8_t request[kMaxFrame];
    // As received, also when partial or wrong.
    uint8_t reply[kMaxFrame];

    bool Broadcast() const { return request_size > 0 && request[0] == kBroadcastAddress; }
};

} // namespace modbus
