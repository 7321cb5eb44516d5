// Slaves out of step with the master: one set to another baud rate or
// parity than the line, and one that knows a single function. Pure, so that
// each can be checked on bytes without a pty.
#pragma once

#include "sim/slave.h"

namespace sim {

// What a slave set to its own line settings does while the master's differ:
// its UART sees garbled bytes, so it either hears no request at all or
// answers bytes no checksum explains, as a device out of step does.
enum class OutOfStep { Silent, Garbage };

struct SlaveLine {
    LineSettings line; // baud rate and parity the slave is set to
    OutOfStep out_of_step = OutOfStep::Silent;
};

// Baud rate and parity alike (the port does not matter to a slave).
bool SameLineSettings(const LineSettings& a, const LineSettings& b);

// The reply frame as a master at other settings receives it: the same
// length, every byte changed, the checksum wrong.
void Garble(Bytes* frame);

// A slave that answers `function` alone and stays silent to every other,
// as a device with a single function built in may.
SlaveHandler OnlyFunction(uint8_t function, SlaveHandler handler);

} // namespace sim
