// The steps every request shares: the status bar, opening the port and
// the transaction.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/codec.h"
#include "modbus/protocol.h"
#include "modbus/reply.h"
#include "modbus/result_codes.h"

namespace modbus {

enum class StatusKind {
    QuietUnderAutoRead, // reads: Auto Read owns the status bar while it runs
    Always,             // writes: the user asked for them, so they always report
};

// Empties the status bar (unless quiet under Auto Read) and opens the port
// with SerialSettings. Result code.
ResultCode BeginRequest(StatusKind kind);

// One transaction with the slave at SerialSettings' time-out, the reply
// judged whole by the engine for `function` on n items (ExpectedReply): a
// read's byte count and a write's echo included. Result code.
ResultCode Exchange(uint8_t slave, uint8_t function, const Bytes& data, unsigned n, Bytes* reply);

// The success text (unless quiet under Auto Read); returns 0.
ResultCode EndRequest(StatusKind kind, const std::string& text);

// " 7": the slave as it is quoted in status texts.
std::string SlaveText(uint8_t slave);

// Address 0 reaches every slave and none answers, so there is no reply
// content to check or show.
inline bool IsBroadcast(uint8_t slave) { return slave == kBroadcastAddress; }

} // namespace modbus
