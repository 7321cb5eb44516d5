// Turns the bytes of one frame into a line of text a commissioning engineer
// reads: slave, function, addresses, quantities, values, exception, and what
// is wrong with the frame. Pure; shared by the communication monitor, the
// trace file and the simulator's frame listing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace modbus {

// Which way a frame went: a request from the master (TX on the master's
// side of the line) or a slave's reply (RX).
enum class Direction : uint8_t { Request, Reply };

struct FrameSummary {
    bool crc_ok = false;
    bool truncated = false;        // fewer bytes than its function's layout needs
    bool unknown_function = false; // a code the program does not use
    bool exception = false;        // an exception reply
    // "slave 1 Read Holding Registers address 0 quantity 10"
    std::string text;
};

// Decodes one frame, checksum included. For a reply, `request` is the whole
// request frame it answers, when known: it gives the start address and the
// number of coils, which the reply does not carry. Reads nothing outside
// frame[0, size) and request[0, request_size).
FrameSummary DecodeFrame(const uint8_t* frame, size_t size, Direction direction,
                         const uint8_t* request = nullptr, size_t request_size = 0);

} // namespace modbus
