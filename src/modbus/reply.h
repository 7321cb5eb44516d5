// Collecting and checking a reply frame: pure functions over the bytes
// received, shared by the transaction engine and its fuzz target.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/codec.h"

namespace modbus {

// The bytes of one reply as they arrive, and the reply data count awaited.
struct ReplyCollector {
    Bytes frame;
    unsigned expected = 0; // reply data bytes after address and function
};

// Appends bytes delivered by one read. An exception reply is recognised at
// its second byte and then awaits one data byte (the exception code).
void AppendReply(ReplyCollector* reply, const uint8_t* bytes, size_t size);

// The frame holds the expected data plus address, function and checksum.
bool ReplyComplete(const ReplyCollector& reply);

// Checks a complete reply to a request to `address` with `function`.
// 0 when good, else the result code, with *message the text shown to the
// user: checksum, address, function, length, then the exception.
int16_t CheckReply(const ReplyCollector& reply, uint8_t address, uint8_t function,
                   std::string* message);

} // namespace modbus
