// The steps every request shares: the status bar, opening the port,
// the transaction and the report of a failed content check.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/codec.h"
#include "modbus/protocol.h"

namespace modbus {

enum class StatusKind {
    QuietUnderAutoRead, // reads: Auto Read owns the status bar while it runs
    Always,             // writes: the user asked for them, so they always report
};

// Empties the status bar (unless quiet under Auto Read) and opens the port
// with SerialSettings. Result code.
int16_t BeginRequest(StatusKind kind);

// One transaction with the slave at SerialSettings' time-out. The expected
// reply data count travels as the engine's 16-bit number.
int16_t Exchange(uint8_t slave, uint8_t function, const Bytes& data, unsigned expected,
                 Bytes* reply);

// A read: the transaction awaiting ExpectedReplyData(function, n) bytes,
// then the reply's byte count checked against the one awaited. A broadcast
// has no reply to check. Result code.
int16_t ExchangeRead(uint8_t slave, uint8_t function, const Bytes& data, unsigned n,
                     Bytes* reply);

// A reply that was right at the frame level but wrong in content: shown like
// every other failure, then passed on.
int16_t RejectReply(int16_t code, const std::string& message);

// The success text (unless quiet under Auto Read); returns 0.
int16_t EndRequest(StatusKind kind, const std::string& text);

// " 7": the slave as it is quoted in status texts.
std::string SlaveText(uint8_t slave);

// Address 0 reaches every slave and none answers, so there is no reply
// content to check or show.
inline bool IsBroadcast(uint8_t slave) { return slave == kBroadcastAddress; }

} // namespace modbus
